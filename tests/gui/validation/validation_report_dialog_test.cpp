// Cálculos > "Informe de validación…": refused for a study not saved, the
// dialog on the saved file, its preview and its PDF through the scripted
// dialogs, the laboratory kept in the user's settings file; "Firmar…" saves
// and signs the report into the main window's audit trail (pdfsig checks it).

#include "../../core/support/worked_example.h"
#include "../support/main_form_fixture.h"
#include "app/main_window_view.h"
#include "files/file_identity.h"
#include "files/study_file.h"
#include "records/audit_recorder.h"
#include "validation/laboratory_setting.h"
#include "validation/validation_report_dialog.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace valdex;
using namespace valdex::testing;

namespace {

QString Run(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class ValidationReportDialogTest : public QObject, private MainFormFixture {
    Q_OBJECT

private:
    QTemporaryDir folder_;
    QString study_;

    // The saved study opened and its data page entered: the calculation's
    // commands, this one with them, are on.
    ValidationReportDialog* OpenDialog() {
        if (!form_->Rules().OpenStudy(study_.toStdString())) return nullptr;
        form_->Rules().DataPageEntered();
        if (!form_->MenuAction(Command::mnuvalidacion)->isEnabled()) return nullptr;
        form_->MenuAction(Command::mnuvalidacion)->trigger();
        return form_->findChild<ValidationReportDialog*>();
    }

private slots:
    void initTestCase() {
        // The user's own settings stay untouched.
        qputenv("XDG_CONFIG_HOME", folder_.filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_DATA_HOME", folder_.filePath(QStringLiteral("datos")).toUtf8());
        qputenv("XDG_STATE_HOME", folder_.filePath(QStringLiteral("estado")).toUtf8());
        UseCLocale();
        study_ = folder_.filePath(QStringLiteral("curva.w8c"));
        WriteStudyFile(WorkedExample(), study_.toStdString());
    }
    void init() { OpenMainForm(); }
    void cleanup() { CloseMainForm(); }

    void unsavedStudyIsRefused() {
        form_->Rules().FileNew();
        QVERIFY(form_->MenuAction(Command::mnuvalidacion)->isVisible());
        QVERIFY(!form_->MenuAction(Command::mnuvalidacion)->isEnabled());
        form_->Rules().mnuvalidacionClick();
        QVERIFY(form_->findChild<ValidationReportDialog*>() == nullptr);
        // A new study fails the level check first; nothing opens.
        dialogs_->messages.clear();
        dialogs_->errors.clear();
    }

    void previewAndPdfOfTheSavedStudy() {
        ValidationReportDialog* dialog = OpenDialog();
        QVERIFY(dialog != nullptr);
        QVERIFY(dialog->isVisible());
        dialog->Laboratory()->setText(QStringLiteral("Laboratorio de Control de Calidad"));

        dialogs_->previewToFile = folder_.filePath(QStringLiteral("vista.pdf"));
        dialog->findChild<QPushButton*>(QStringLiteral("vistaPrevia"))->click();
        QCOMPARE(dialogs_->previews, 1);
        const QString preview =
            Run(QStringLiteral("pdftotext"),
                {QStringLiteral("-layout"), dialogs_->previewToFile, QStringLiteral("-")});
        QVERIFY(preview.startsWith(QStringLiteral("Laboratorio de Control de Calidad")));
        QVERIFY(preview.contains(QStringLiteral("Conclusión: el estudio no cumple")));
        // The name stays for the next report.
        QCOMPARE(StoredLaboratoryName(), std::string("Laboratorio de Control de Calidad"));

        const QString pdf = folder_.filePath(QStringLiteral("informe.pdf"));
        dialogs_->pdfNames = {pdf};
        dialog->Paper()->setCurrentIndex(1);
        dialog->findChild<QPushButton*>(QStringLiteral("guardarPdf"))->click();
        QCOMPARE(dialogs_->pdfProposals,
                 QStringList{folder_.filePath(QStringLiteral("curva-validacion.pdf"))});
        const QString info = Run(QStringLiteral("pdfinfo"), {pdf}) +
                             Run(QStringLiteral("pdfinfo"), {QStringLiteral("-meta"), pdf});
        QVERIFY(info.contains(QStringLiteral("(A4)")));
        const std::string sha = IdentifyFile(study_.toStdString()).sha256;
        QVERIFY(info.contains(QString::fromStdString("<valdex:EstudioSHA256>" + sha)));
        // No audit trail to sign into: "Firmar…" is off.
        QVERIFY(!dialog->findChild<QPushButton*>(QStringLiteral("firmar"))->isEnabled());
        dialog->findChild<QPushButton*>(QStringLiteral("cerrar"))->click();
    }

    // Not saved yet: "Firmar…" asks where to save, then signs that file; a
    // second signature goes onto the same file.
    void signingSavesThenSigns() {
        AuditRecorder recorder;
        form_->Rules().SetAuditRecorder(&recorder);
        ValidationReportDialog* dialog = OpenDialog();
        QVERIFY(dialog != nullptr);
        QPushButton* sign = dialog->findChild<QPushButton*>(QStringLiteral("firmar"));
        QVERIFY(sign->isEnabled());
        const QString pdf = folder_.filePath(QStringLiteral("firmado.pdf"));
        dialogs_->pdfNames = {pdf};
        dialogs_->choices = {QStringLiteral("Elaboró"), QStringLiteral("Revisó")};
        dialogs_->texts = {QStringLiteral("frase de paso 1"), QStringLiteral("frase de paso 1"),
                           QStringLiteral("frase de paso 1")};
        sign->click();
        QVERIFY(dialogs_->messages.last().startsWith(
            QStringLiteral("El informe quedó firmado (Elaboró)")));
        QVERIFY(dialog->Sign());
        QVERIFY(dialogs_->pdfNames.empty()); // signed where it was saved, not asked again
        const QString pdfsig = Run(QStringLiteral("pdfsig"), {pdf});
        QVERIFY2(pdfsig.count(QStringLiteral("Signature is Valid")) == 2, qPrintable(pdfsig));
        QVERIFY2(pdfsig.contains(QStringLiteral("Total document signed")), qPrintable(pdfsig));
        const QString text = Run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        QVERIFY(text.contains(QStringLiteral("5. Varianzas y normalidad")));
        QCOMPARE(recorder.Trail()->Entries().back().event, std::string("firmado"));
        QVERIFY(dialogs_->errors.isEmpty());
        form_->Rules().SetAuditRecorder(nullptr);
        dialog->reject();
    }

    void badCriteriaShowTheirErrorAndWriteNothing() {
        ValidationReportDialog* dialog = OpenDialog();
        QVERIFY(dialog != nullptr);
        const QString criteria = folder_.filePath(QStringLiteral("malo.ini"));
        QFile file(criteria);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[r2]\nminimo = alto\n");
        file.close();
        dialog->Criteria()->setEditText(criteria);
        const QString pdf = folder_.filePath(QStringLiteral("no.pdf"));
        dialogs_->pdfNames = {pdf};
        QVERIFY(!dialog->SavePdf());
        QCOMPARE(dialogs_->errors.size(), 1);
        QVERIFY(
            dialogs_->errors[0].startsWith(criteria + QStringLiteral(", línea 2: clave «minimo»")));
        QVERIFY(!QFile::exists(pdf));
        dialogs_->errors.clear();
        dialog->reject();
    }

    void modifiedStudyIsRefused() {
        QVERIFY(form_->Rules().OpenStudy(study_.toStdString()));
        form_->Rules().SetEstado("Modificado");
        form_->Rules().mnuvalidacionClick();
        QCOMPARE(dialogs_->errors, QStringList{QString::fromUtf8(kValidationNeedsSavedStudy)});
        QVERIFY(form_->findChild<ValidationReportDialog*>() == nullptr);
        dialogs_->errors.clear();
    }
};

QTEST_MAIN(ValidationReportDialogTest)
#include "validation_report_dialog_test.moc"
