#pragma once
// The results window (the design's TFinfo): a snapshot of one run of "Detección y
// Cuantificación" in a read-only text area.

#include "app/child_window.h"

#include <QStringList>

class QPlainTextEdit;

namespace valdex {

class ResultsWindow : public ChildWindow {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 11;
    explicit ResultsWindow(QWidget* parent = nullptr);

    void SetLines(const QStringList& lines);
    // The lines as the text area holds them.
    QStringList Lines() const;
    QPlainTextEdit* memo() const { return memo_; }

private:
    QPlainTextEdit* memo_;
};

} // namespace valdex
