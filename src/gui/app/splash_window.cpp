#include "app/splash_window.h"

#include "app/valdex_picture.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace valdex {

QFont SplashWindow::ProductNameFont() {
    // The design's face first, then script faces a Linux desktop may have,
    // then an italic serif that every installation of ours carries.
    const QStringList candidates = {QStringLiteral("Matura MT Script Capitals"),
                                    QStringLiteral("URW Chancery L"),
                                    QStringLiteral("Z003"),
                                    QStringLiteral("TeX Gyre Chorus"),
                                    QStringLiteral("Purisa"),
                                    QStringLiteral("Liberation Serif"),
                                    QStringLiteral("DejaVu Serif")};
    const QStringList installed = QFontDatabase::families();
    QFont font;
    for (const QString& family : candidates)
        if (installed.contains(family)) {
            font.setFamily(family);
            break;
        }
    font.setStyleHint(QFont::Cursive);
    font.setPixelSize(27);
    font.setBold(true);
    font.setItalic(!font.family().contains(QStringLiteral("Matura")));
    return font;
}

SplashWindow::SplashWindow(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("Fshow"));
    setAccessibleName(QString::fromUtf8(kProductName));
    setFixedSize(505, 416);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    panel->setGeometry(rect());

    auto* name = new QLabel(QString::fromUtf8(kProductName), panel);
    name->setObjectName(QStringLiteral("Label1"));
    name->setFont(ProductNameFont());
    QPalette palette = name->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 128));
    name->setPalette(palette);
    name->setAlignment(Qt::AlignCenter);

    auto* picture = new PictureFrame(panel);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setFixedSize(377, 289);

    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addStretch();
    layout->addWidget(name);
    layout->addSpacing(14);
    layout->addWidget(picture, 0, Qt::AlignHCenter);
    layout->addStretch();

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());

    timer_.setSingleShot(true);
    timer_.setInterval(3000);
    connect(&timer_, &QTimer::timeout, this, &SplashWindow::Timer1Timer);
}

void SplashWindow::Timer1Timer() {
    timer_.stop();
    close();
}

} // namespace valdex
