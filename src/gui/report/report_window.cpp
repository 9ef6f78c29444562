#include "report/report_window.h"

#include "app/text_area.h"

#include <QPlainTextEdit>

namespace valdex {

ReportWindow::ReportWindow(QWidget* parent) : ChildWindow(parent) {
    setObjectName(QStringLiteral("frminforme"));
    setWindowTitle(QStringLiteral("Informe"));
    setAccessibleName(QStringLiteral("Informe"));
    memo_ = MakeReadOnlyTextArea(QStringLiteral("mminforme"), QStringLiteral("Informe"), this);
    memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setWidget(memo_);
}

void ReportWindow::SetLines(const QStringList& lines) {
    SetTextAreaLines(*memo_, lines);
}

QStringList ReportWindow::Lines() const {
    return TextAreaLines(*memo_);
}

} // namespace valdex
