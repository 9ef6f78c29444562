#include "calc/results_window.h"

#include "app/context_help.h"
#include "app/text_area.h"

#include <QPlainTextEdit>

namespace valdex {

ResultsWindow::ResultsWindow(QWidget* parent) : ChildWindow(parent) {
    setObjectName(QStringLiteral("Finfo"));
    const QString caption = QStringLiteral("Límite de detección y cuantificación del sistema");
    setWindowTitle(caption);
    setAccessibleName(caption);
    memo_ = MakeReadOnlyTextArea(QStringLiteral("memo"), caption, this);
    memo_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Twenty-five lines do not fit the design height: a scroll bar appears
    // rather than hiding the notes.
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo_->setProperty(kHelpContextProperty, kHelpContext);
    setProperty(kHelpContextProperty, kHelpContext);
    setWidget(memo_);
    resize(540, 291);
}

void ResultsWindow::SetLines(const QStringList& lines) {
    SetTextAreaLines(*memo_, lines);
}

QStringList ResultsWindow::Lines() const {
    return TextAreaLines(*memo_);
}

} // namespace valdex
