#pragma once
// What the two print options dialogs share: a page choice that stays as the
// user left it, "Aceptar" that runs the print dialog and prints the chosen
// page of the study as it is at that moment, and "Cancelar" that hides the
// dialog. Created once at start-up, shown not modally, never destroyed.

#include "base/error_handler.h"
#include "report/printed_report.h"
#include "study/calibration_study.h"

#include <QDialog>
#include <QPrinter>

#include <functional>

class QButtonGroup;
class QPrintPreviewDialog;
class QGroupBox;
class QPushButton;

namespace valdex {

// The current study at the moment of the call; null when no study window is open.
using CurrentStudy = std::function<const CalibrationStudy*()>;
// Draws the chosen page of the current study on a printer (a preview's).
using PagePainter = std::function<void(QPrinter& printer)>;
// Runs the print dialog on the printer, offering a preview drawn by
// `preview`; true when the user confirmed printing.
using PrintDialogRunner =
    std::function<bool(QPrinter& printer, QWidget* parent, const PagePainter& preview)>;

// The print dialog of the platform with a button "Vista previa" that opens
// Qt's print preview of the page on the same printer (its settings, paper
// and margins); printing to a PDF file is one of the dialog's printers.
bool RunPrintDialogWithPreview(QPrinter& printer, QWidget* parent, const PagePainter& preview);
// The preview as it opens: "Vista previa", most of the screen's height,
// centred, the page fitted to the window's width so that its text reads.
void SetUpPreview(QPrintPreviewDialog& view);

class PrintOptionsDialog : public QDialog {
    Q_OBJECT
public:
    // `errors` is the general error handler: every print runs inside it.
    PrintOptionsDialog(QWidget* parent, const QString& groupCaption, CurrentStudy currentStudy,
                       ErrorBox& errors);
    ~PrintOptionsDialog() override;

    // Made visible and brought to the front; the other windows stay usable.
    void ShowOptions();

    // The item of `opcion` selected: 0 page 1, 1 page 2.
    int ItemIndex() const;
    void SetItemIndex(int index);

    // Tests put a scripted dialog here; the platform's QPrintDialog otherwise.
    void SetPrintDialogRunner(PrintDialogRunner runner) { runPrintDialog_ = std::move(runner); }
    QPrinter& Printer() { return printer_; }

    QGroupBox* opcion() const { return opcion_; }
    QPushButton* BitBtn1() const { return accept_; }
    QPushButton* BitBtn2() const { return cancel_; }

signals:
    // A page went to the printer (0 page 1, 1 page 2).
    void printed(int item);

public slots:
    // "Aceptar": the print dialog, then the chosen page; the dialog stays open.
    void BitBtn1Click();
    // "Cancelar": hides the dialog.
    void BitBtn2Click();

protected:
    // The design, owned by the dialog of that design.
    virtual PrintedReport& Report() = 0;

private:
    // The chosen page of the current study on `printer`; nothing without a study.
    void PrintChosenPage(QPrinter& printer);

    CurrentStudy currentStudy_;
    ErrorBox& errors_;
    PrintDialogRunner runPrintDialog_;
    QPrinter printer_;
    QGroupBox* opcion_;
    QButtonGroup* items_;
    QPushButton* accept_;
    QPushButton* cancel_;
};

} // namespace valdex
