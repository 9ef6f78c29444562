#pragma once
// The read-only text area of the results and report windows, with its
// one-item context menu "Cerrar" that closes the window holding it.

#include <QStringList>

class QPlainTextEdit;
class QWidget;

namespace valdex {

QPlainTextEdit* MakeReadOnlyTextArea(const QString& objectName, const QString& accessibleName,
                                     QWidget* windowToClose);
// Replaces the whole text; an empty line is a line of its own, also the first.
void SetTextAreaLines(QPlainTextEdit& area, const QStringList& lines);
QStringList TextAreaLines(const QPlainTextEdit& area);

} // namespace valdex
