#pragma once
// "Informe de validación": the dialog of the validation report of a saved
// study file. The laboratory's name (kept in the user's settings when it
// changes), the criteria set (a built-in name or a file's path) and the
// paper; "Vista previa…" opens the print preview with its printing, and
// "Guardar PDF…" writes the PDF that names the study in its metadata;
// "Firmar…" signs that PDF (saving it first when it is not saved yet) into the
// audit trail. Every dialog goes through the dialog service.

#include "app/dialog_service.h"

#include <QDialog>

#include <string>

class QComboBox;
class QString;
class QLineEdit;
class QPushButton;

namespace valdex {

class AuditRecorder;

inline constexpr const char* kValidationDialogCaption = "Informe de validación";

class ValidationReportDialog : public QDialog {
    Q_OBJECT
public:
    ValidationReportDialog(std::string studyPath, DialogService& dialogs, char decimalSeparator,
                           QWidget* parent, AuditRecorder* recorder = nullptr);

    // Each prepares the report afresh from the file; a failure shows its
    // error box and returns false.
    bool Preview();
    bool SavePdf();
    // Signs the PDF saved last; without one it is saved first. Without an
    // audit trail there is nothing to sign into and the button is off.
    bool Sign();

    QLineEdit* Laboratory() const { return laboratory_; }
    QComboBox* Criteria() const { return criteria_; }
    QComboBox* Paper() const { return paper_; }

private:
    struct Prepared;
    bool Prepare(Prepared& prepared);

    std::string studyPath_;
    DialogService& dialogs_;
    AuditRecorder* recorder_;
    QString savedPdf_; // the PDF written last, empty before
    char separator_;
    QLineEdit* laboratory_ = nullptr;
    QComboBox* criteria_ = nullptr;
    QComboBox* paper_ = nullptr;
};

} // namespace valdex
