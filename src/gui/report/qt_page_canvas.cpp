#include "report/qt_page_canvas.h"

#include "base/app_error.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>

#include <cmath>

namespace valdex {

QtPageCanvas::QtPageCanvas(QPagedPaintDevice& device) : device_(device) {}

QString QtPageCanvas::DeviceFamily(const std::string& name) {
    const QString family = QString::fromStdString(name);
    if (family.compare(QStringLiteral("Arial"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Sans");
    return family;
}

void QtPageCanvas::BeginDoc() {
    if (auto* printer = dynamic_cast<QPrinter*>(&device_); printer && !printer->isValid())
        throw AppError(kPrinterNotValid);
    operations_.clear();
    aborted_ = false;
    pages_ = 1;
}

void QtPageCanvas::EndDoc() {
    QPainter painter;
    if (!painter.begin(&device_)) throw AppError(kPrinterNotValid);
    for (const Operation& op : operations_) {
        switch (op.kind) {
        case Operation::Text:
            // The canvas places a text by the top of its character cell.
            painter.setFont(op.font);
            painter.drawText(QPoint(op.x, op.y + painter.fontMetrics().ascent()), op.text);
            break;
        case Operation::Line:
            DrawDeviceLine(painter, op);
            break;
        case Operation::NewPage:
            if (!device_.newPage()) {
                painter.end();
                throw AppError(kPrintNotFinished);
            }
            break;
        }
    }
    operations_.clear();
    if (!painter.end()) throw AppError(kPrintNotFinished);
}

void QtPageCanvas::DrawDeviceLine(QPainter& painter, const Operation& op) {
    // A pen one device pixel wide with flat ends, set for every line: a pen
    // equal to the painter's default is never passed on to a PDF device,
    // which then strokes a hairline 0.1 pixel wide that comes out grey.
    painter.setPen(
        QPen(QBrush(Qt::black), kLinePenWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    // The line runs through the centres of its pixels, so a horizontal one
    // covers exactly the pixel row y, from x1 up to x2 (not included), as
    // a one-pixel pen of the device draws it.
    const double half = kLinePenWidth / 2.0;
    QLineF line(op.x, op.y, op.x2, op.y2);
    if (op.y == op.y2)
        line.translate(0, half);
    else if (op.x == op.x2)
        line.translate(half, 0);
    else
        line.translate(half, half);
    painter.drawLine(line);
}

void QtPageCanvas::Abort() {
    operations_.clear();
    aborted_ = true;
}

void QtPageCanvas::NewPage() {
    operations_.push_back(Operation{Operation::NewPage, font_});
    ++pages_;
}

void QtPageCanvas::SetFont(const std::string& name, int pointSize, FontPitch pitch) {
    QFont font(DeviceFamily(name));
    font.setPointSize(pointSize);
    if (pitch != FontPitch::Default) font.setFixedPitch(pitch == FontPitch::Fixed);
    // Printed text is neither kerned nor hinted, so widths are the font's own.
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    font_ = font;
}

int QtPageCanvas::FontHeight() const {
    return static_cast<int>(
        std::lround(QFontInfo(font_).pointSizeF() * device_.logicalDpiY() / 72.0));
}

int QtPageCanvas::FontPointSize() const {
    return QFontInfo(font_).pointSize();
}

int QtPageCanvas::TextWidth(const std::string& text) const {
    return QFontMetrics(font_, &device_).horizontalAdvance(QString::fromStdString(text));
}

void QtPageCanvas::TextOut(int x, int y, const std::string& text) {
    Operation op{Operation::Text, font_};
    op.x = x;
    op.y = y;
    op.text = QString::fromStdString(text);
    if (!op.text.isEmpty()) operations_.push_back(std::move(op));
}

void QtPageCanvas::DrawLine(int x1, int y1, int x2, int y2) {
    Operation op{Operation::Line, font_};
    op.x = x1;
    op.y = y1;
    op.x2 = x2;
    op.y2 = y2;
    operations_.push_back(std::move(op));
}

int QtPageCanvas::PageWidth() const {
    return device_.width();
}

int QtPageCanvas::PageHeight() const {
    return device_.height();
}

QString QtPageCanvas::FontFamilyInUse() const {
    return QFontInfo(font_).family();
}

} // namespace valdex
