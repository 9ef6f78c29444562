// Draws the application's icon for the desktop's icon theme from the
// program's own picture: the flask and the end of the calibration line, on
// the picture's sky, in a navy frame. Writes valdex.svg, valdex-48.png and
// valdex-256.png into the folder given as its argument.

#include "app/valdex_picture.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>

#include <algorithm>
#include <cstdio>

namespace {

// The part of the picture (designed on 377×289) that the icon shows: a
// square around the flask that takes in the top of the calibration line.
const QRectF kShown(184, 50, 193, 193);

// Draws the icon in a square of `side` units at the origin. The picture
// fills the square (an SVG of the generator's profile has no clipping, so
// nothing may be drawn outside it), and a frame with rounded inner corners
// is drawn over its edge.
void DrawIcon(QPainter& painter, double side) {
    painter.setRenderHint(QPainter::Antialiasing);
    const double scale = side / kShown.width();
    valdex::DrawValdexPicture(
        painter, QRectF(-kShown.left() * scale, -kShown.top() * scale, 377 * scale, 289 * scale));
    const double border = std::max(2.0, side / 24);
    QPainterPath frame;
    frame.setFillRule(Qt::OddEvenFill);
    frame.addRect(QRectF(0, 0, side, side));
    frame.addRoundedRect(QRectF(border, border, side - 2 * border, side - 2 * border), side / 10,
                         side / 10);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 128));
    painter.drawPath(frame);
}

bool WritePng(const QString& path, int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        DrawIcon(painter, side);
    }
    return image.save(path, "PNG");
}

bool WriteSvg(const QString& path) {
    constexpr int kSide = 256;
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(kSide, kSide));
    svg.setViewBox(QRect(0, 0, kSide, kSide));
    svg.setTitle(QStringLiteral("VALDEX"));
    svg.setDescription(QStringLiteral("Límite de Detección y Cuantificación del Sistema"));
    QPainter painter;
    if (!painter.begin(&svg)) return false;
    DrawIcon(painter, kSide);
    return painter.end();
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fputs("Uso: valdex-icon CARPETA\n", stderr);
        return 2;
    }
    // Drawing needs no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/');
    const bool written = WriteSvg(folder + QStringLiteral("valdex.svg")) &&
                         WritePng(folder + QStringLiteral("valdex-48.png"), 48) &&
                         WritePng(folder + QStringLiteral("valdex-256.png"), 256);
    if (!written) {
        std::fprintf(stderr, "valdex-icon: no se pudo escribir el icono en %s\n", argv[1]);
        return 1;
    }
    return 0;
}
