#include "app/glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace valdex {

namespace {

const QColor kOutline(0, 0, 0);
const QColor kNavy(0, 0, 128);
const QColor kYellow(255, 255, 0);
const QColor kDarkYellow(128, 128, 0);
const QColor kSilver(192, 192, 192);
const QColor kGrey(128, 128, 128);
const QColor kRed(192, 0, 0);
const QColor kTeal(0, 128, 128);
const QColor kBrown(128, 64, 0);

// A sheet of paper with the top right corner folded.
void DrawNewPage(QPainter& p) {
    QPolygon sheet({QPoint(4, 1), QPoint(12, 1), QPoint(16, 5), QPoint(16, 18), QPoint(4, 18)});
    p.setPen(kOutline);
    p.setBrush(Qt::white);
    p.drawPolygon(sheet);
    p.setBrush(kSilver);
    p.drawPolygon(QPolygon({QPoint(12, 1), QPoint(12, 5), QPoint(16, 5)}));
    p.setPen(kGrey);
    for (int y = 8; y <= 15; y += 2)
        p.drawLine(6, y, 14, y);
}

// An open yellow folder.
void DrawOpenFolder(QPainter& p) {
    p.setPen(kOutline);
    p.setBrush(kDarkYellow);
    p.drawPolygon(QPolygon(
        {QPoint(1, 4), QPoint(6, 4), QPoint(8, 6), QPoint(15, 6), QPoint(15, 9), QPoint(1, 16)}));
    p.setBrush(kYellow);
    p.drawPolygon(QPolygon({QPoint(1, 16), QPoint(5, 9), QPoint(19, 9), QPoint(15, 16)}));
    // The arrow of "open", above the folder.
    p.setPen(QPen(kNavy, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRect(11, 1, 7, 6), 0, 180 * 16);
    p.drawLine(18, 4, 18, 6);
    p.drawLine(16, 4, 18, 4);
}

// A diskette: dark body, metal shutter at the top, white label below.
void DrawFloppy(QPainter& p) {
    p.setPen(kOutline);
    p.setBrush(kNavy);
    p.drawPolygon(
        QPolygon({QPoint(2, 2), QPoint(16, 2), QPoint(18, 4), QPoint(18, 18), QPoint(2, 18)}));
    p.setBrush(kSilver);
    p.drawRect(6, 2, 8, 5);
    p.setBrush(kNavy);
    p.drawRect(11, 3, 2, 3);
    p.setBrush(Qt::white);
    p.drawRect(5, 10, 10, 8);
    p.setPen(kGrey);
    p.drawLine(7, 13, 13, 13);
    p.drawLine(7, 15, 13, 15);
}

// A printer with a sheet coming out of the top.
void DrawPrinter(QPainter& p) {
    p.setPen(kOutline);
    p.setBrush(Qt::white);
    p.drawRect(7, 2, 12, 10);
    p.setPen(kGrey);
    for (int y = 5; y <= 9; y += 2)
        p.drawLine(9, y, 17, y);
    p.setPen(kOutline);
    p.setBrush(kSilver);
    p.drawPolygon(QPolygon({QPoint(4, 11), QPoint(22, 11), QPoint(24, 14), QPoint(24, 21),
                            QPoint(2, 21), QPoint(2, 14)}));
    p.setBrush(kGrey);
    p.drawRect(5, 17, 16, 2);
    p.setBrush(QColor(0, 160, 0));
    p.drawRect(19, 13, 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(6, 21, 14, 3);
}

// A red cross.
void DrawCloseX(QPainter& p) {
    p.setPen(QPen(kRed, 3, Qt::SolidLine, Qt::SquareCap));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
}

// An open door in its frame with an arrow going out.
void DrawExitDoor(QPainter& p) {
    p.setPen(kOutline);
    p.setBrush(Qt::white);
    p.drawRect(1, 1, 8, 14);
    p.setBrush(kBrown);
    p.drawPolygon(QPolygon({QPoint(1, 1), QPoint(6, 3), QPoint(6, 15), QPoint(1, 15)}));
    p.setBrush(kYellow);
    p.drawRect(4, 8, 1, 1);
    p.setPen(QPen(kRed, 2));
    p.drawLine(9, 8, 14, 8);
    p.drawLine(12, 5, 15, 8);
    p.drawLine(12, 11, 15, 8);
}

// A window: title bar in navy over a white client area.
void DrawSmallWindow(QPainter& p, QRect r) {
    p.setPen(kOutline);
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setBrush(kNavy);
    p.drawRect(r.x(), r.y(), r.width(), 3);
}

// Two windows one above the other, each as wide as the frame.
void DrawTile(QPainter& p) {
    DrawSmallWindow(p, QRect(1, 1, 17, 8));
    DrawSmallWindow(p, QRect(1, 10, 17, 8));
}

// Three windows overlapping down and to the right.
void DrawCascade(QPainter& p) {
    DrawSmallWindow(p, QRect(1, 1, 11, 9));
    DrawSmallWindow(p, QRect(4, 4, 11, 9));
    DrawSmallWindow(p, QRect(7, 8, 11, 10));
}

// A closed book with a large question mark cut out of its cover.
void DrawHelpBook(QPainter& p) {
    p.setPen(kOutline);
    p.setBrush(Qt::white);
    p.drawRect(4, 15, 13, 3);
    p.setBrush(kTeal);
    p.drawRect(3, 1, 13, 14);
    p.setBrush(kNavy);
    p.drawRect(3, 1, 2, 17);
    QPainterPath mark;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(14);
    font.setBold(true);
    mark.addText(QPointF(7, 13), font, QStringLiteral("?"));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(mark);
}

} // namespace

QSize GlyphSize(Glyph glyph) {
    switch (glyph) {
    case Glyph::CloseX:
    case Glyph::ExitDoor:
        return {16, 16};
    case Glyph::Printer:
        return {26, 26};
    default:
        return {20, 20};
    }
}

QImage DrawGlyph(Glyph glyph) {
    QImage image(GlyphSize(glyph), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    switch (glyph) {
    case Glyph::NewPage:
        DrawNewPage(p);
        break;
    case Glyph::OpenFolder:
        DrawOpenFolder(p);
        break;
    case Glyph::Floppy:
        DrawFloppy(p);
        break;
    case Glyph::Printer:
        DrawPrinter(p);
        break;
    case Glyph::CloseX:
        DrawCloseX(p);
        break;
    case Glyph::ExitDoor:
        DrawExitDoor(p);
        break;
    case Glyph::Tile:
        DrawTile(p);
        break;
    case Glyph::Cascade:
        DrawCascade(p);
        break;
    case Glyph::HelpBook:
        DrawHelpBook(p);
        break;
    }
    return image;
}

QImage EmbossDisabled(const QImage& normal) {
    const QImage source = normal.convertToFormat(QImage::Format_ARGB32);
    QImage result(source.size(), QImage::Format_ARGB32);
    result.fill(Qt::transparent);
    auto isDark = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= source.width() || y >= source.height()) return false;
        const QRgb pixel = source.pixel(x, y);
        return qAlpha(pixel) > 96 && qGray(pixel) < 200;
    };
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x) {
            if (isDark(x, y))
                result.setPixel(x, y, qRgb(128, 128, 128));
            else if (isDark(x - 1, y - 1))
                result.setPixel(x, y, qRgb(255, 255, 255));
        }
    return result;
}

QIcon GlyphIcon(Glyph glyph) {
    const QImage normal = DrawGlyph(glyph);
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(normal), QIcon::Normal);
    icon.addPixmap(QPixmap::fromImage(EmbossDisabled(normal)), QIcon::Disabled);
    return icon;
}

} // namespace valdex
