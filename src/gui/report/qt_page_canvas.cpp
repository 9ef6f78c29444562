#include "report/qt_page_canvas.h"

#include "base/app_error.h"

#include <QBuffer>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include <algorithm>
#include <cmath>

namespace valdex {

namespace {

QColor ToQColor(CanvasColour colour) {
    return QColor(static_cast<int>((colour >> 16) & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>(colour & 0xFF));
}

// Dashes and gaps in pen widths: long enough to be told apart at a glance,
// the dots short and close.
QPen ToQPen(const LinePen& pen) {
    QPen qpen(QBrush(ToQColor(pen.colour)), pen.width, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin);
    switch (pen.style) {
    case LineStyle::Solid:
        break;
    case LineStyle::Dashed:
        qpen.setDashPattern({5, 3});
        break;
    case LineStyle::Dotted:
        qpen.setDashPattern({1.2, 2});
        break;
    case LineStyle::DashDotted:
        qpen.setDashPattern({5, 2, 1.2, 2});
        break;
    }
    return qpen;
}

QPointF ToQPoint(CanvasPoint point) {
    return QPointF(point.x, point.y);
}

QRectF ToQRect(const CanvasRect& rect) {
    return QRectF(rect.left, rect.top, rect.width, rect.height);
}

} // namespace

QtPageCanvas::QtPageCanvas(QPagedPaintDevice& device) : device_(device), paged_(&device) {}

QtPageCanvas::QtPageCanvas(QPaintDevice& device) : device_(device) {}

QString QtPageCanvas::DeviceFamily(const std::string& name) {
    const QString family = QString::fromStdString(name);
    if (family.compare(QStringLiteral("Arial"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Sans");
    return family;
}

void QtPageCanvas::BeginDoc() {
    if (auto* printer = dynamic_cast<QPrinter*>(&device_); printer && !printer->isValid())
        throw AppError(kPrinterNotValid);
    Forget();
    aborted_ = false;
    pages_ = 1;
}

void QtPageCanvas::Forget() {
    operations_.clear();
    shapes_.clear();
    fonts_.clear();
}

bool QtPageCanvas::Plain(const QString& text) const {
    return paged_ != nullptr && PlainTextLayout::IsPlain(text);
}

QtPageCanvas::Operation& QtPageCanvas::Add(Operation::Kind kind) {
    if (fonts_.empty() || !(fonts_.back() == font_)) fonts_.push_back(font_);
    Operation& op = operations_.emplace_back();
    op.kind = kind;
    op.font = static_cast<int>(fonts_.size()) - 1;
    return op;
}

QtPageCanvas::ShapeData& QtPageCanvas::AddShape(Operation::Kind kind) {
    Add(kind).shape = static_cast<int>(shapes_.size());
    return shapes_.emplace_back();
}

void QtPageCanvas::EndDoc() {
    QPainter painter;
    if (!painter.begin(&device_)) throw AppError(kPrinterNotValid);
    // The plots' shapes are smoothed; texts and rules keep the painter's
    // defaults, so the printed pages come out as they always have.
    bool smooth = false;
    auto setSmooth = [&](bool on) {
        if (smooth == on) return;
        painter.setRenderHint(QPainter::Antialiasing, on);
        smooth = on;
    };
    // Texts are black: a shape leaves its own pen (of a colour, or none)
    // behind it.
    bool textPen = true;
    // Plain texts in one font, one after the other, are drawn together.
    PlainTextLayout::Batch batch;
    auto drawBatch = [&] {
        if (batch.Empty()) return;
        painter.setFont(batch.Font());
        painter.drawGlyphRun(QPointF(0, 0), batch.Take());
    };
    // The ascent of the font of the texts, measured once a font.
    int ascentFont = -1;
    int ascent = 0;
    auto ascentOf = [&](int font) {
        if (font != ascentFont) {
            ascent = QFontMetrics(fonts_[font], &device_).ascent();
            ascentFont = font;
        }
        return ascent;
    };
    for (const Operation& op : operations_) {
        if (op.kind != Operation::Text) drawBatch();
        switch (op.kind) {
        case Operation::Text: {
            // The canvas places a text by the top of its character cell.
            setSmooth(false);
            if (!textPen) {
                painter.setPen(QPen(Qt::black));
                textPen = true;
            }
            const QFont& font = fonts_[op.font];
            const QPointF at(op.x, op.y + ascentOf(op.font));
            if (op.plain) {
                if (!batch.Empty() && !(batch.Font() == font)) drawBatch();
                if (batch.Empty()) painter.setFont(font);
                batch.Add(plain_, font, device_, op.text, at);
                break;
            }
            drawBatch();
            painter.setFont(font);
            painter.drawText(at.toPoint(), op.text);
            break;
        }
        case Operation::Line:
            setSmooth(false);
            DrawDeviceLine(painter, op);
            break;
        case Operation::NewPage:
            if (paged_ == nullptr || !paged_->newPage()) {
                painter.end();
                throw AppError(kPrintNotFinished);
            }
            break;
        case Operation::Shape:
            setSmooth(true);
            DrawShape(painter, shapes_[op.shape]);
            textPen = false;
            break;
        case Operation::Clip:
            painter.setClipRect(shapes_[op.shape].rect);
            break;
        case Operation::Unclip:
            painter.setClipping(false);
            break;
        }
    }
    drawBatch();
    Forget();
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

void QtPageCanvas::DrawShape(QPainter& painter, const ShapeData& op) {
    switch (op.shape) {
    case ShapeData::Polyline:
        painter.setPen(ToQPen(op.pen));
        painter.setBrush(Qt::NoBrush);
        painter.drawPolyline(op.points);
        break;
    case ShapeData::Rectangle:
        painter.setPen(ToQPen(op.pen));
        painter.setBrush(op.fill ? QBrush(ToQColor(*op.fill)) : QBrush(Qt::NoBrush));
        painter.drawRect(op.rect);
        break;
    case ShapeData::Marker: {
        const QColor colour = ToQColor(op.pen.colour);
        const double half = op.size / 2;
        const QPointF centre = op.points.constFirst();
        if (op.marker == MarkerShape::Circle) {
            // The ring lies inside the marker's size.
            const double ring = std::max(1.0, op.size / 6);
            painter.setPen(QPen(QBrush(colour), ring));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(centre, half - ring / 2, half - ring / 2);
        } else {
            painter.setPen(Qt::NoPen);
            painter.setBrush(QBrush(colour));
            if (op.marker == MarkerShape::Disc)
                painter.drawEllipse(centre, half, half);
            else
                painter.drawRect(QRectF(centre.x() - half, centre.y() - half, op.size, op.size));
        }
        break;
    }
    }
}

void QtPageCanvas::Abort() {
    Forget();
    aborted_ = true;
}

void QtPageCanvas::NewPage() {
    Add(Operation::NewPage);
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
    measured_ = text;
    measuredText_ = QString::fromStdString(text);
    measuredPlain_ = Plain(measuredText_);
    if (measuredPlain_) return plain_.Width(font_, device_, measuredText_);
    return QFontMetrics(font_, &device_).horizontalAdvance(measuredText_);
}

void QtPageCanvas::TextOut(int x, int y, const std::string& text) {
    if (text.empty()) return;
    Operation& op = Add(Operation::Text);
    op.x = x;
    op.y = y;
    if (text == measured_) {
        op.text = measuredText_;
        op.plain = measuredPlain_;
    } else {
        op.text = QString::fromStdString(text);
        op.plain = Plain(op.text);
    }
}

void QtPageCanvas::DrawLine(int x1, int y1, int x2, int y2) {
    Operation& op = Add(Operation::Line);
    op.x = x1;
    op.y = y1;
    op.x2 = x2;
    op.y2 = y2;
}

void QtPageCanvas::DrawStyledLine(CanvasPoint from, CanvasPoint to, const LinePen& pen) {
    DrawPolyline({from, to}, pen);
}

void QtPageCanvas::DrawPolyline(const std::vector<CanvasPoint>& points, const LinePen& pen) {
    if (points.size() < 2) return;
    ShapeData& shape = AddShape(Operation::Shape);
    shape.shape = ShapeData::Polyline;
    shape.points.reserve(static_cast<qsizetype>(points.size()));
    for (CanvasPoint point : points)
        shape.points << ToQPoint(point);
    shape.pen = pen;
}

void QtPageCanvas::DrawRectangle(const CanvasRect& rect, const LinePen& pen,
                                 std::optional<CanvasColour> fill) {
    ShapeData& shape = AddShape(Operation::Shape);
    shape.shape = ShapeData::Rectangle;
    shape.rect = ToQRect(rect);
    shape.pen = pen;
    shape.fill = fill;
}

void QtPageCanvas::DrawMarker(CanvasPoint centre, MarkerShape shape, double size,
                              CanvasColour colour) {
    ShapeData& marker = AddShape(Operation::Shape);
    marker.shape = ShapeData::Marker;
    marker.points << ToQPoint(centre);
    marker.marker = shape;
    marker.size = size;
    marker.pen.colour = colour;
}

void QtPageCanvas::SetClip(const CanvasRect& rect) {
    AddShape(Operation::Clip).rect = ToQRect(rect);
}

void QtPageCanvas::ClearClip() {
    Add(Operation::Unclip);
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

QByteArray LetterPdf(const QString& title, const std::function<void(PageCanvas&)>& draw) {
    return PagePdf(title, QPageSize(QPageSize::Letter), draw);
}

QByteArray PagePdf(const QString& title, const QPageSize& paper,
                   const std::function<void(PageCanvas&)>& draw) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(600);
    writer.setPageLayout(QPageLayout(paper, QPageLayout::Portrait,
                                     QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch));
    writer.setCreator(QStringLiteral("VALDEX v.w. 3.1"));
    writer.setTitle(title);
    QtPageCanvas canvas(writer);
    draw(canvas);
    return bytes;
}

} // namespace valdex
