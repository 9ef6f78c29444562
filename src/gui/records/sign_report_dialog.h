#pragma once
// "Firmar…" of the validation report's preview: the meaning and the
// passphrase asked through the dialog service (a new passphrase twice when
// the user has no key yet), then the report file signed and recorded.

#include <QString>

namespace valdex {

class AuditRecorder;
class DialogService;

// True when the report was signed; every refusal or failure in a message box.
bool SignReportWithDialogs(const QString& pdfPath, AuditRecorder& recorder, DialogService& dialogs);

} // namespace valdex
