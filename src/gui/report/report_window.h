#pragma once
// The report window (Tfrminforme): the study and its results as text.

#include "app/child_window.h"

#include <QStringList>

class QPlainTextEdit;

namespace valdex {

class Tfrminforme : public ChildWindow {
    Q_OBJECT
public:
    explicit Tfrminforme(QWidget* parent = nullptr);

    void SetLines(const QStringList& lines);
    QStringList Lines() const;
    QPlainTextEdit* mminforme() const { return memo_; }

private:
    QPlainTextEdit* memo_;
};

} // namespace valdex
