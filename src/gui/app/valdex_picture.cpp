#include "app/valdex_picture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace valdex {

namespace {

// The picture is designed on a 377×289 canvas and scaled to its frame.
constexpr double kWidth = 377;
constexpr double kHeight = 289;

void DrawChart(QPainter& p) {
    const QRectF plot(40, 40, 200, 190);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(plot);
    p.setPen(QPen(QColor(200, 200, 220), 1, Qt::DotLine));
    for (int i = 1; i < 5; ++i) {
        p.drawLine(QPointF(plot.left() + i * 40, plot.top()),
                   QPointF(plot.left() + i * 40, plot.bottom()));
        p.drawLine(QPointF(plot.left(), plot.bottom() - i * 38),
                   QPointF(plot.right(), plot.bottom() - i * 38));
    }
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(plot.bottomLeft(), plot.topLeft());
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    // The fitted line and its confidence band.
    QPainterPath band;
    band.moveTo(plot.left() + 5, plot.bottom() - 12);
    band.lineTo(plot.right() - 5, plot.top() + 2);
    band.lineTo(plot.right() - 5, plot.top() + 26);
    band.lineTo(plot.left() + 5, plot.bottom() - 2);
    band.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 160, 230, 90));
    p.drawPath(band);
    p.setPen(QPen(QColor(0, 0, 128), 3));
    p.drawLine(QPointF(plot.left() + 5, plot.bottom() - 7),
               QPointF(plot.right() - 5, plot.top() + 14));
    // Replicates of four levels around the line.
    const double offsets[] = {-6, 5, 0};
    p.setPen(QPen(QColor(128, 0, 0), 1.5));
    p.setBrush(QColor(230, 40, 40));
    for (int level = 1; level <= 4; ++level) {
        const double x = plot.left() + level * 40;
        const double y =
            plot.bottom() - 7 - (x - plot.left() - 5) * (plot.height() - 21) / (plot.width() - 10);
        for (double dy : offsets)
            p.drawEllipse(QPointF(x, y + dy), 4, 4);
    }
    // The detection and quantification marks on the x axis.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(13);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0, 100, 0));
    p.drawLine(QPointF(plot.left() + 14, plot.bottom()),
               QPointF(plot.left() + 14, plot.bottom() + 8));
    p.drawLine(QPointF(plot.left() + 34, plot.bottom()),
               QPointF(plot.left() + 34, plot.bottom() + 8));
    p.drawText(QPointF(plot.left() + 4, plot.bottom() + 24), QStringLiteral("LD"));
    p.drawText(QPointF(plot.left() + 28, plot.bottom() + 24), QStringLiteral("LC"));
}

void DrawFlask(QPainter& p) {
    QPainterPath glass;
    glass.moveTo(290, 70);
    glass.lineTo(290, 130);
    glass.lineTo(255, 215);
    glass.quadTo(250, 232, 268, 232);
    glass.lineTo(342, 232);
    glass.quadTo(360, 232, 355, 215);
    glass.lineTo(320, 130);
    glass.lineTo(320, 70);
    glass.closeSubpath();
    QPainterPath liquid;
    liquid.moveTo(271, 175);
    liquid.lineTo(339, 175);
    liquid.lineTo(355, 215);
    liquid.quadTo(360, 232, 342, 232);
    liquid.lineTo(268, 232);
    liquid.quadTo(250, 232, 255, 215);
    liquid.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 240, 255));
    p.drawPath(glass);
    QLinearGradient fill(QPointF(0, 175), QPointF(0, 232));
    fill.setColorAt(0, QColor(60, 200, 120));
    fill.setColorAt(1, QColor(0, 110, 60));
    p.setBrush(fill);
    p.drawPath(liquid);
    p.setPen(QPen(QColor(40, 40, 80), 3));
    p.setBrush(Qt::NoBrush);
    p.drawPath(glass);
    p.drawLine(QPointF(284, 70), QPointF(326, 70));
    p.setPen(QPen(QColor(255, 255, 255), 2));
    for (int i = 0; i < 3; ++i)
        p.drawEllipse(QPointF(290 + i * 14, 200 - i * 6), 3 + i, 3 + i);
}

} // namespace

void DrawValdexPicture(QPainter& painter, const QRectF& target) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(target.topLeft());
    painter.scale(target.width() / kWidth, target.height() / kHeight);
    QLinearGradient sky(QPointF(0, 0), QPointF(0, kHeight));
    sky.setColorAt(0, QColor(210, 225, 250));
    sky.setColorAt(1, QColor(150, 175, 220));
    painter.fillRect(QRectF(0, 0, kWidth, kHeight), sky);
    DrawChart(painter);
    DrawFlask(painter);
    painter.restore();
}

QIcon ValdexIcon() {
    QIcon icon;
    for (int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        // The flask stands in x 250..360, y 66..234 of the picture.
        const double scale = size / 172.0;
        painter.scale(scale, scale);
        painter.translate(-219, -64);
        DrawFlask(painter);
        icon.addPixmap(pixmap);
    }
    return icon;
}

PictureFrame::PictureFrame(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
}

void PictureFrame::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    DrawValdexPicture(painter, contentsRect());
}

} // namespace valdex
