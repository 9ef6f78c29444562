#include "records/sign_report_dialog.h"

#include "app/dialog_service.h"
#include "records/report_signing.h"

#include <exception>

namespace valdex {

bool SignReportWithDialogs(const QString& pdfPath, AuditRecorder& recorder,
                           DialogService& dialogs) {
    const QString caption = QStringLiteral("Firmar informe");
    QStringList meanings;
    for (SignatureMeaning meaning : kSignatureMeanings)
        meanings << QString::fromStdString(MeaningText(meaning));
    const auto chosen =
        dialogs.AskChoice(QStringLiteral("Significado de la firma:"), caption, meanings);
    if (!chosen) return false;
    const auto meaning = ParseMeaning(chosen->toStdString());
    if (!meaning) return false;
    const bool creating = SigningKeyMissing("");
    const auto passphrase = dialogs.AskText(
        creating ? QStringLiteral("Aún no tiene clave de firma. Elija una frase de paso (al menos "
                                  "8 caracteres):")
                 : QStringLiteral("Frase de paso de su clave de firma:"),
        caption, true);
    if (!passphrase) return false;
    if (creating) {
        const auto again =
            dialogs.AskText(QStringLiteral("Repita la frase de paso:"), caption, true);
        if (!again) return false;
        if (*again != *passphrase) {
            dialogs.ShowMessage(QStringLiteral("Las dos frases de paso no coinciden; no se firmó "
                                               "el informe."));
            return false;
        }
    }
    try {
        const SignOutcome outcome = SignReportFile(pdfPath.toStdString(), *meaning, "",
                                                   passphrase->toStdString(), recorder, "valdex");
        dialogs.ShowMessage(QStringLiteral("El informe quedó firmado (") + *chosen +
                            QStringLiteral(") por ") + QString::fromStdString(outcome.signerName) +
                            QStringLiteral("."));
        return true;
    } catch (const std::exception& error) {
        dialogs.ShowError(QString::fromStdString(error.what()));
        return false;
    }
}

} // namespace valdex
