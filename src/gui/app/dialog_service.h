#pragma once
// Message boxes, questions and file dialogs of the application. The windows
// ask through this interface so that tests can script the answers.

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QPrinter;

namespace valdex {

class DialogService {
public:
    virtual ~DialogService() = default;

    // A check's message: one OK button, the application title as caption.
    virtual void ShowMessage(const QString& text) = 0;
    // A Yes/No question with the question icon; true for Yes.
    virtual bool AskYesNo(const QString& text, const QString& caption) = 0;
    // The general error box: stop icon, application title, OK button.
    virtual void ShowError(const QString& text) = 0;
    // An error that is not one of the program's own (AppError): the same box
    // for the user; the tests' dialogs record it as a failure.
    virtual void ShowUnexpectedError(const QString& text) { ShowError(text); }
    // The file dialogs; nullopt when the user cancels.
    virtual std::optional<QString> AskOpenFileName(const QString& initialName) = 0;
    virtual std::optional<QString> AskSaveFileName(const QString& initialName) = 0;
    // The platform's print dialog on the printer, with "Vista previa" that
    // shows the page `preview` draws on the same printer; true when the user
    // confirmed.
    virtual bool RunPrintDialog(QPrinter& printer,
                                const std::function<void(QPrinter&)>& preview) = 0;
    // The export dialog of the diagnostics (PDF, SVG or PNG): the chosen
    // file's full path, with the extension of the chosen type when the name
    // had none; nullopt when the user cancels.
    virtual std::optional<QString> AskExportFileName(const QString& initialName) = 0;
    // Qt's print preview of the pages `paint` draws on the printer, with
    // its own printing; false when it was not shown.
    virtual bool RunPrintPreview(QPrinter& /*printer*/,
                                 const std::function<void(QPrinter&)>& /*paint*/) {
        return false;
    }
    // A save dialog for one PDF file: its full path, ending in ".pdf";
    // nullopt when the user cancels.
    virtual std::optional<QString> AskPdfFileName(const QString& /*initialName*/) {
        return std::nullopt;
    }
    // A line of text (`secret`: not shown as typed, for a passphrase);
    // nullopt when the user cancels.
    virtual std::optional<QString> AskText(const QString& /*question*/, const QString& /*caption*/,
                                           bool /*secret*/) {
        return std::nullopt;
    }
    // The save dialog of a file other than a study (`filter` as Qt writes it,
    // "Tablas CSV (*.csv)"); nullopt when the user cancels.
    virtual std::optional<QString> AskWriteFileName(const QString& /*initialName*/,
                                                    const QString& /*filter*/) {
        return std::nullopt;
    }
    // One of the choices; nullopt when the user cancels.
    virtual std::optional<QString> AskChoice(const QString& /*question*/,
                                             const QString& /*caption*/,
                                             const QStringList& /*choices*/) {
        return std::nullopt;
    }
};

} // namespace valdex
