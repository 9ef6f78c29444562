#include "validation/validation_report_dialog.h"

#include "base/app_error.h"
#include "files/file_identity.h"
#include "files/file_io.h"
#include "files/study_file.h"
#include "records/sign_report_dialog.h"
#include "validation/laboratory_setting.h"
#include "validation/validation_pdf.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QLineEdit>
#include <QPageSize>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include <ctime>
#include <exception>

namespace valdex {

struct ValidationReportDialog::Prepared {
    FileIdentity file;
    ValidationReport report;
    std::string time;
};

ValidationReportDialog::ValidationReportDialog(std::string studyPath, DialogService& dialogs,
                                               char decimalSeparator, QWidget* parent,
                                               AuditRecorder* recorder)
    : QDialog(parent), studyPath_(std::move(studyPath)), dialogs_(dialogs), recorder_(recorder),
      separator_(decimalSeparator) {
    setObjectName(QStringLiteral("ValidationReportDialog"));
    setWindowTitle(QString::fromUtf8(kValidationDialogCaption));
    laboratory_ = new QLineEdit(QString::fromStdString(StoredLaboratoryName()), this);
    laboratory_->setObjectName(QStringLiteral("laboratorio"));
    laboratory_->setMaxLength(255);
    criteria_ = new QComboBox(this);
    criteria_->setObjectName(QStringLiteral("criterios"));
    criteria_->setEditable(true);
    criteria_->addItems({QString::fromUtf8(kIchQ2), QString::fromUtf8(kIchM10)});
    criteria_->setToolTip(QStringLiteral("Un conjunto integrado o la ruta de un archivo de "
                                         "criterios"));
    paper_ = new QComboBox(this);
    paper_->setObjectName(QStringLiteral("papel"));
    paper_->addItems({QStringLiteral("Carta"), QStringLiteral("A4")});

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Archivo:"),
                 new QLineEdit(QString::fromStdString(studyPath_), this));
    form->itemAt(0, QFormLayout::FieldRole)->widget()->setEnabled(false);
    form->addRow(QStringLiteral("Laboratorio:"), laboratory_);
    form->addRow(QStringLiteral("Criterios:"), criteria_);
    form->addRow(QStringLiteral("Papel:"), paper_);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* preview =
        buttons->addButton(QStringLiteral("&Vista previa…"), QDialogButtonBox::ActionRole);
    preview->setObjectName(QStringLiteral("vistaPrevia"));
    QPushButton* save =
        buttons->addButton(QStringLiteral("&Guardar PDF…"), QDialogButtonBox::ActionRole);
    save->setObjectName(QStringLiteral("guardarPdf"));
    QPushButton* sign =
        buttons->addButton(QStringLiteral("&Firmar…"), QDialogButtonBox::ActionRole);
    sign->setObjectName(QStringLiteral("firmar"));
    sign->setEnabled(recorder_ != nullptr);
    if (!recorder_)
        sign->setToolTip(QStringLiteral("Sin registro de auditoría no se puede firmar."));
    connect(sign, &QPushButton::clicked, this, [this] { Sign(); });
    QPushButton* close = buttons->addButton(QStringLiteral("Cerrar"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("cerrar"));
    connect(preview, &QPushButton::clicked, this, [this] { Preview(); });
    connect(save, &QPushButton::clicked, this, [this] { SavePdf(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

bool ValidationReportDialog::Prepare(Prepared& prepared) {
    try {
        const std::string laboratory = laboratory_->text().simplified().toStdString();
        if (laboratory != StoredLaboratoryName()) StoreLaboratoryName(laboratory);
        ValidationReportOptions options;
        options.laboratory = laboratory.empty() ? kNoLaboratory : laboratory;
        options.criteria = LoadCriteria(criteria_->currentText().trimmed().toStdString());
        options.decimalSeparator = separator_;
        prepared.time = IsoLocalTime(static_cast<std::int64_t>(std::time(nullptr)));
        options.reportTime = prepared.time;
        prepared.file = IdentifyFile(studyPath_);
        const CalibrationStudy study = ReadStudyFile(studyPath_);
        if (IdentifyFile(studyPath_).sha256 != prepared.file.sha256)
            throw StudyError(studyPath_ + ": el archivo cambió mientras se leía.");
        prepared.report = MakeValidationReport(study, prepared.file, options);
        return true;
    } catch (const std::exception& error) {
        dialogs_.ShowError(QString::fromStdString(ErrorBoxText(error.what())));
        return false;
    }
}

bool ValidationReportDialog::Preview() {
    Prepared prepared;
    if (!Prepare(prepared)) return false;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(paper_->currentIndex() == 1 ? QPageSize::A4 : QPageSize::Letter));
    printer.setDocName(QString::fromUtf8(kValidationReportTitle));
    QString failure;
    const bool shown = dialogs_.RunPrintPreview(printer, [&](QPrinter& target) {
        try {
            PrintValidationReportOn(target, prepared.report.document);
        } catch (const std::exception& error) {
            failure = QString::fromStdString(ErrorBoxText(error.what()));
        }
    });
    if (!failure.isEmpty()) dialogs_.ShowError(failure);
    return shown && failure.isEmpty();
}

bool ValidationReportDialog::SavePdf() {
    const QFileInfo study(QString::fromStdString(studyPath_));
    const std::optional<QString> path = dialogs_.AskPdfFileName(
        study.dir().filePath(study.completeBaseName() + QStringLiteral("-validacion.pdf")));
    if (!path) return false;
    if (QFileInfo(*path).canonicalFilePath() == study.canonicalFilePath()) {
        dialogs_.ShowError(*path + QStringLiteral(": es el archivo del estudio; no se reemplaza."));
        return false;
    }
    Prepared prepared;
    if (!Prepare(prepared)) return false;
    try {
        const QByteArray pdf = ValidationReportPdf(
            prepared.report, prepared.file, prepared.time,
            paper_->currentIndex() == 1 ? ReportPaper::A4 : ReportPaper::Letter);
        ReplaceFileContent(path->toStdString(),
                           std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())));
        savedPdf_ = *path;
        return true;
    } catch (const std::exception& error) {
        dialogs_.ShowError(*path + QStringLiteral(": ") +
                           QString::fromStdString(ErrorBoxText(error.what())));
        return false;
    }
}

bool ValidationReportDialog::Sign() {
    if (!recorder_) return false;
    // A PDF saved earlier but gone or replaced since is saved afresh.
    if (savedPdf_.isEmpty() || !QFileInfo::exists(savedPdf_)) {
        savedPdf_.clear();
        if (!SavePdf()) return false;
    }
    return SignReportWithDialogs(savedPdf_, *recorder_, dialogs_);
}

} // namespace valdex
