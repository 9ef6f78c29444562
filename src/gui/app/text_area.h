#pragma once
// The read-only text area of the results and report windows, with its
// one-item context menu "Cerrar" that closes the window holding it.

#include <QStringList>

#include <string>
#include <vector>

class QPlainTextEdit;
class QWidget;

namespace valdex {

QPlainTextEdit* MakeReadOnlyTextArea(const QString& objectName, const QString& accessibleName,
                                     QWidget* windowToClose);
// Replaces the whole text; an empty line is a line of its own, also the first.
void SetTextAreaLines(QPlainTextEdit& area, const QStringList& lines);
QStringList TextAreaLines(const QPlainTextEdit& area);
// The core's lines (UTF-8) as Qt texts.
QStringList ToLines(const std::vector<std::string>& lines);

} // namespace valdex
