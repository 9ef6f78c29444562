#include "app/help_viewer.h"

#include "app/help_topics.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace valdex {

HelpViewer::HelpViewer(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Ayuda"));
    setAccessibleName(QStringLiteral("Ayuda"));
    resize(420, 320);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("helptext"));
    browser_->setAccessibleName(QStringLiteral("Tema de ayuda"));
    browser_->setOpenLinks(false);
    connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.scheme() == QLatin1String("topic")) ShowTopic(url.path().toInt());
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(browser_);
}

void HelpViewer::ShowTopic(int context) {
    context_ = FindHelpTopic(context).context;
    browser_->setHtml(HelpTopicPage(context_));
    setWindowTitle(QStringLiteral("Ayuda - %1").arg(FindHelpTopic(context_).title));
    show();
    raise();
    activateWindow();
}

QString HelpViewer::CurrentText() const {
    return browser_->toPlainText();
}

} // namespace valdex
