#include "app/about_box.h"

#include "app/splash_window.h"
#include "app/valdex_picture.h"
#include "base/app_texts.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace valdex {

AboutBox::AboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("AboutBox"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Acerca de"));
    setAccessibleName(QStringLiteral("Acerca de"));
    setProperty("helpContext", kHelpContext);

    auto* picture = new PictureFrame(this);
    picture->setObjectName(QStringLiteral("ProgramIcon"));
    picture->setFixedSize(240, 184);

    auto* product = new QLabel(QString::fromUtf8(kProductName), this);
    product->setObjectName(QStringLiteral("ProductName"));
    QFont font = SplashWindow::ProductNameFont();
    font.setPixelSize(22);
    product->setFont(font);
    QPalette palette = product->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 128));
    product->setPalette(palette);

    auto* title = new QLabel(QString::fromUtf8(kApplicationTitle), this);
    title->setObjectName(QStringLiteral("Comments"));
    title->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->setCenterButtons(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QWidget::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picture, 0, Qt::AlignHCenter);
    layout->addWidget(product, 0, Qt::AlignHCenter);
    layout->addWidget(title, 0, Qt::AlignHCenter);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - QPoint(sizeHint().width() / 2, sizeHint().height() / 2));
}

} // namespace valdex
