#pragma once
// The splash window (the design's TFshow): shown at start-up above every window and
// hidden 3000 ms after the main window becomes active.

#include <QTimer>
#include <QWidget>

namespace valdex {

// The product name of the splash, the about box and the printed footers.
inline constexpr const char* kProductName = "VALDEX v.w. 3.1";

class SplashWindow : public QWidget {
    Q_OBJECT
public:
    explicit SplashWindow(QWidget* parent = nullptr);

    // Started by each activation of the main window; firing once hides the
    // splash (a no-op once it is hidden).
    QTimer& Timer1() { return timer_; }
    void StartTimer() { timer_.start(); }

    // The script face of the product name, or the nearest installed one.
    static QFont ProductNameFont();

private:
    void Timer1Timer();

    QTimer timer_;
};

} // namespace valdex
