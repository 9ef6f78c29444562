#pragma once
// The picture of the splash window and the about box: a calibration line
// through its points beside a laboratory flask, drawn stretched to a frame.

#include <QFrame>
#include <QIcon>

class QPainter;

namespace valdex {

void DrawValdexPicture(QPainter& painter, const QRectF& target);
// The flask of the picture, as the icon of the program's windows.
QIcon ValdexIcon();

// A sunken frame whose whole inside shows the picture.
class PictureFrame : public QFrame {
    Q_OBJECT
public:
    explicit PictureFrame(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace valdex
