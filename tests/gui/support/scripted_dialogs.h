#pragma once
// Dialogs for the window tests: every message, error and question is
// recorded, answers and file names come from a script, and nothing blocks.
// An unscripted question or dialog is answered No / cancelled and recorded
// as unexpected, and so is an error that is not one of the program's own.
// The fixture fails a test that ends with anything unexpected or with an
// error box it has not taken.

#include "app/dialog_service.h"

#include <QPrinter>
#include <QStringList>

#include <deque>
#include <functional>

namespace valdex::testing {

class ScriptedDialogs : public DialogService {
public:
    QStringList messages;
    QStringList errors;
    QStringList questions; // caption + "|" + text
    QStringList openProposals;
    QStringList saveProposals;
    QStringList unexpected;
    QStringList exportProposals;
    int printDialogs = 0;
    std::function<void(QPrinter&)> lastPreview; // what the last print dialog's preview draws
    QStringList printProposals;                 // the file each print dialog proposed

    std::deque<bool> answers;
    std::deque<std::optional<QString>> openNames;
    std::deque<std::optional<QString>> saveNames;
    std::deque<bool> printAnswers; // true: the print dialog confirmed
    QString printToFile;           // where a confirmed print goes, as a PDF file
    std::deque<std::optional<QString>> exportNames;
    // A print preview draws its pages into this PDF file (none scripted:
    // unexpected).
    QString previewToFile;
    int previews = 0;
    QStringList pdfProposals;
    std::deque<std::optional<QString>> pdfNames;
    QStringList textQuestions;                     // caption + "|" + question
    std::deque<std::optional<QString>> texts;      // AskText's answers
    std::deque<std::optional<QString>> choices;    // AskChoice's answers
    std::deque<std::optional<QString>> writeNames; // AskWriteFileName's answers

    void ShowMessage(const QString& text) override { messages << text; }
    void ShowError(const QString& text) override { errors << text; }
    void ShowUnexpectedError(const QString& text) override {
        errors << text;
        unexpected << QStringLiteral("error not of the program's own: ") + text;
    }
    // The error boxes shown so far, which the test has looked at.
    QStringList TakeErrors() {
        QStringList taken = errors;
        errors.clear();
        return taken;
    }

    bool AskYesNo(const QString& text, const QString& caption) override {
        questions << caption + QLatin1Char('|') + text;
        if (answers.empty()) {
            unexpected << QStringLiteral("question: ") + text;
            return false;
        }
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }

    std::optional<QString> AskOpenFileName(const QString& initialName) override {
        openProposals << initialName;
        return Next(openNames, QStringLiteral("open dialog"));
    }

    std::optional<QString> AskSaveFileName(const QString& initialName) override {
        saveProposals << initialName;
        return Next(saveNames, QStringLiteral("save dialog"));
    }

    bool RunPrintDialog(QPrinter& printer, const std::function<void(QPrinter&)>& preview) override {
        ++printDialogs;
        lastPreview = preview;
        printProposals << printer.outputFileName();
        if (printAnswers.empty()) {
            unexpected << QStringLiteral("print dialog");
            return false;
        }
        const bool confirmed = printAnswers.front();
        printAnswers.pop_front();
        if (confirmed && !printToFile.isEmpty()) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(printToFile);
        }
        return confirmed;
    }

    std::optional<QString> AskExportFileName(const QString& initialName) override {
        exportProposals << initialName;
        return Next(exportNames, QStringLiteral("export dialog"));
    }

    bool RunPrintPreview(QPrinter& printer, const std::function<void(QPrinter&)>& paint) override {
        ++previews;
        if (previewToFile.isEmpty()) {
            unexpected << QStringLiteral("print preview");
            return false;
        }
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(previewToFile);
        paint(printer);
        return true;
    }

    std::optional<QString> AskPdfFileName(const QString& initialName) override {
        pdfProposals << initialName;
        return Next(pdfNames, QStringLiteral("PDF dialog"));
    }

    std::optional<QString> AskText(const QString& question, const QString& caption, bool) override {
        textQuestions << caption + QLatin1Char('|') + question;
        return Next(texts, QStringLiteral("text question: ") + question);
    }

    std::optional<QString> AskWriteFileName(const QString& initialName, const QString&) override {
        saveProposals << initialName;
        return Next(writeNames, QStringLiteral("write dialog"));
    }

    std::optional<QString> AskChoice(const QString& question, const QString& caption,
                                     const QStringList&) override {
        textQuestions << caption + QLatin1Char('|') + question;
        return Next(choices, QStringLiteral("choice: ") + question);
    }

private:
    std::optional<QString> Next(std::deque<std::optional<QString>>& names, const QString& what) {
        if (names.empty()) {
            unexpected << what;
            return std::nullopt;
        }
        const bool cancelled = !names.front().has_value();
        const QString name = names.front().value_or(QString());
        names.pop_front();
        if (cancelled) return std::nullopt;
        return name;
    }
};

} // namespace valdex::testing
