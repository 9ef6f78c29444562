#pragma once
// The report window (the design's Tfrminforme): the study and its results as text.

#include "app/child_window.h"

#include <QStringList>

class QPlainTextEdit;

namespace valdex {

class ReportWindow : public ChildWindow {
    Q_OBJECT
public:
    explicit ReportWindow(QWidget* parent = nullptr);

    void SetLines(const QStringList& lines);
    QStringList Lines() const;
    QPlainTextEdit* mminforme() const { return memo_; }

private:
    QPlainTextEdit* memo_;
};

} // namespace valdex
