// The application's audit trail and signatures through the dialog service:
// the study commands' entries, the reason asked before a signed study is
// replaced, the "Registro de auditoría…" window (filter, CSV, printing,
// verification) and "Firmar…" on a PDF of Qt's writer with the study in its
// XMP metadata, checked with poppler's pdfsig.

#include "../support/keyboard.h"
#include "../support/main_form_fixture.h"
#include "diagnostics/diagnostics_window.h"
#include "files/file_identity.h"
#include "records/audit_recorder.h"
#include "records/audit_start_check.h"
#include "records/audit_window.h"
#include "records/sign_report_dialog.h"
#include "report/print_options_wiring.h"
#include "study/study_window.h"
#include "study/study_window_rules.h"
#include "validation/signoff_block.h"

#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace valdex;
using namespace valdex::testing;

namespace {

QString Run(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
}

QByteArray Bytes(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

CalibrationStudy SmallStudy(const char* firstResponse = "1") {
    CalibrationStudy study = CalibrationStudy::MakeNew();
    study.CalculationType = "Regresión";
    study.LevelCount = "2";
    study.Levels = {{"Nivel 1", "1", "2"}, {"Nivel 2", "2", "2"}};
    study.Responses = {{"Nivel 1 , Replica 1", firstResponse, ""},
                       {"Nivel 1 , Replica 2", "1.1", ""},
                       {"Nivel 2 , Replica 1", "2", ""},
                       {"Nivel 2 , Replica 2", "2.1", ""}};
    return study;
}

} // namespace

class RecordsWindowTest : public QObject, private MainFormFixture {
    Q_OBJECT
private:
    QTemporaryDir folder_;
    std::unique_ptr<AuditRecorder> recorder_;
    QString PathOf(const char* name) const { return folder_.filePath(QString::fromLatin1(name)); }
    std::vector<AuditEntry> Entries() { return recorder_->Trail()->Entries(); }
    QString LastEvent() { return QString::fromStdString(Entries().back().event); }

    void SaveNewStudyAs(const QString& path, const char* firstResponse = "1") {
        QTest::keyClick(form_.get(), Qt::Key_N, Qt::ControlModifier);
        form_->Finforma()->Rules().LoadStudy(SmallStudy(firstResponse));
        dialogs_->saveNames.push_back(path);
        QVERIFY(form_->Rules().FileSaveAs());
    }

    // A PDF of Qt's writer stating the study's SHA-256 in its XMP metadata.
    void MakeReport(const QString& pdf, const QString& study) {
        QPdfWriter writer(pdf);
        writer.setPageSize(QPageSize(QPageSize::Letter));
        const QString sha = QString::fromStdString(Sha256Hex(Bytes(study).toStdString()));
        writer.setDocumentXmpMetadata(
            QStringLiteral(
                "<?xpacket begin=\"\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?><x:xmpmeta "
                "xmlns:x=\"adobe:ns:meta/\"><rdf:RDF "
                "xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
                "<rdf:Description rdf:about=\"\" xmlns:valdex=\"%1\"><%2>estudio.w8c</%2>"
                "<%3>%4</%3></rdf:Description></rdf:RDF></x:xmpmeta><?xpacket "
                "end=\"w\"?>")
                .arg(QString::fromLatin1(kXmpNamespace), QString::fromLatin1(kXmpStudyName),
                     QString::fromLatin1(kXmpStudySha256), sha)
                .toUtf8());
        QPainter painter(&writer);
        painter.drawText(QPointF(200, 200), QStringLiteral("Informe de validación"));
    }

private slots:
    void initTestCase() { UseCLocale(); }
    void init() {
        QVERIFY(folder_.isValid());
        qputenv("XDG_DATA_HOME", PathOf("datos").toUtf8());
        qputenv("XDG_STATE_HOME", PathOf("estado").toUtf8());
        QFile::remove(PathOf("datos/valdex/auditoria.sqlite"));
        QFile::remove(PathOf("estado/valdex/auditoria-cabeza.txt"));
        recorder_ = std::make_unique<AuditRecorder>();
        OpenMainForm();
        form_->Rules().SetAuditRecorder(recorder_.get());
    }
    void cleanup() {
        CloseMainForm();
        recorder_.reset();
        QDir(PathOf("datos")).removeRecursively();
        QDir(PathOf("estado")).removeRecursively();
    }

    void studyCommandsLeaveTheirEntries() {
        const QString path = PathOf("estudio.w8c");
        SaveNewStudyAs(path);
        QCOMPARE(LastEvent(), QStringLiteral("guardado como"));
        const QString sha = QString::fromStdString(Sha256Hex(Bytes(path).toStdString()));
        QVERIFY(QString::fromStdString(Entries().back().details).contains(sha));
        QCOMPARE(QString::fromStdString(Entries().front().event), QStringLiteral("creado"));
        // Changed, then closed with No to the save question.
        form_->Finforma()->Rules().LoadStudy(SmallStudy());
        form_->Rules().SetEstado("Modificado");
        dialogs_->answers.push_back(false);
        form_->Finforma()->close();
        QCOMPARE(LastEvent(), QStringLiteral("cerrado sin guardar"));
        QVERIFY(form_->Rules().OpenStudy(path.toStdString()));
        QCOMPARE(LastEvent(), QStringLiteral("abierto"));
        QVERIFY(QString::fromStdString(Entries().back().details).contains(sha));
        QVERIFY(recorder_->Trail()->Verify().intact);
    }

    void savingOverASignedStudyAsksForAReason() {
        const QString path = PathOf("estudio.w8c");
        SaveNewStudyAs(path);
        const QByteArray saved = Bytes(path);
        const QString pdf = PathOf("informe.pdf");
        MakeReport(pdf, path);
        dialogs_->choices.push_back(QStringLiteral("Elaboró"));
        dialogs_->texts.push_back(QStringLiteral("frase de paso 1"));
        dialogs_->texts.push_back(QStringLiteral("frase de paso 1"));
        QVERIFY(SignReportWithDialogs(pdf, *recorder_, *dialogs_));
        // No reason: nothing written, the error box says why.
        form_->Finforma()->Rules().LoadStudy(SmallStudy("0.9"));
        dialogs_->texts.push_back(std::nullopt);
        QVERIFY(!form_->Rules().FileSave());
        QCOMPARE(dialogs_->TakeErrors().size(), 1);
        QCOMPARE(Bytes(path), saved);
        dialogs_->texts.push_back(QStringLiteral("Corrección del método"));
        QVERIFY(form_->Rules().FileSave());
        QCOMPARE(LastEvent(), QStringLiteral("guardado"));
        QVERIFY(QString::fromStdString(Entries().back().details).contains("Corrección del método"));
        QVERIFY(Bytes(path) != saved);
    }

    void printingLeavesAnEntry() {
        const QString path = PathOf("estudio.w8c");
        SaveNewStudyAs(path);
        const PrintOptionsDialogs print = InstallPrintOptions(*form_);
        RecordPrinting(print, *form_, *recorder_);
        print.laser->SetPrintDialogRunner([this](QPrinter& printer, QWidget*, const PagePainter&) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(PathOf("pagina.pdf"));
            return true;
        });
        print.laser->SetItemIndex(1);
        print.laser->BitBtn1Click();
        QCOMPARE(LastEvent(), QStringLiteral("impreso"));
        const QString details = QString::fromStdString(Entries().back().details);
        QVERIFY2(details.contains(QStringLiteral("\"diseno\":\"Lasser\"")) &&
                     details.contains(QStringLiteral("\"pagina\":2")) &&
                     details.contains(QString::fromStdString(Sha256Hex(Bytes(path).toStdString()))),
                 qPrintable(details));
        QVERIFY(QFile::exists(PathOf("pagina.pdf")));
    }

    void diagnosticsPrintedAndExportedLeaveEntries() {
        const QString path = PathOf("estudio.w8c");
        SaveNewStudyAs(path);
        form_->Rules().mnudiagnosticoClick();
        auto* window = form_->findChild<DiagnosticsWindow*>();
        QVERIFY(window);
        dialogs_->printAnswers.push_back(true);
        dialogs_->printToFile = PathOf("diagnostico.pdf");
        window->bimprimirClick();
        QCOMPARE(LastEvent(), QStringLiteral("impreso"));
        const QString sha = QString::fromStdString(Sha256Hex(Bytes(path).toStdString()));
        QVERIFY(QString::fromStdString(Entries().back().details).contains(sha));
        dialogs_->exportNames.push_back(PathOf("graficos.svg"));
        window->bexportarClick();
        QCOMPARE(LastEvent(), QStringLiteral("exportado"));
        const QString svg =
            QString::fromStdString(Sha256Hex(Bytes(PathOf("graficos.svg")).toStdString()));
        QVERIFY(QString::fromStdString(Entries().back().details).contains(svg));
    }

    void signingThroughTheDialogs() {
        const QString study = PathOf("estudio.w8c");
        SaveNewStudyAs(study);
        const QString pdf = PathOf("informe.pdf");
        MakeReport(pdf, study);
        dialogs_->choices.push_back(QStringLiteral("Revisó"));
        dialogs_->texts.push_back(QStringLiteral("frase de paso 2"));
        dialogs_->texts.push_back(QStringLiteral("frase de paso 2"));
        QVERIFY(SignReportWithDialogs(pdf, *recorder_, *dialogs_));
        QVERIFY(dialogs_->messages.last().startsWith(
            QStringLiteral("El informe quedó firmado (Revisó)")));
        const QString pdfsig = Run(QStringLiteral("pdfsig"), {pdf});
        QVERIFY2(pdfsig.contains(QStringLiteral("Signature is Valid")), qPrintable(pdfsig));
        QVERIFY2(pdfsig.contains(QStringLiteral("Total document signed")), qPrintable(pdfsig));
        QCOMPARE(LastEvent(), QStringLiteral("firmado"));
        // A wrong passphrase signs nothing.
        const QByteArray signedOnce = Bytes(pdf);
        dialogs_->choices.push_back(QStringLiteral("Aprobó"));
        dialogs_->texts.push_back(QStringLiteral("otra frase"));
        QVERIFY(!SignReportWithDialogs(pdf, *recorder_, *dialogs_));
        QVERIFY(
            dialogs_->TakeErrors().join("").contains(QStringLiteral("frase de paso incorrecta")));
        QCOMPARE(Bytes(pdf), signedOnce);
    }

    void theAuditWindowFiltersExportsPrintsAndVerifies() {
        SaveNewStudyAs(PathOf("a.w8c"));
        form_->Finforma()->close();
        SaveNewStudyAs(PathOf("b.w8c"), "0.95");
        QAction* item = form_->menuBar()->findChild<QAction*>(QStringLiteral("mnuauditoria"));
        QVERIFY(!item); // installed by the application, here by the test
        InstallAuditMenu(*form_, *recorder_, *dialogs_);
        item = form_->findChild<QAction*>(QStringLiteral("mnuauditoria"));
        QVERIFY(item);
        item->trigger();
        auto* window = form_->findChild<AuditWindow*>();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->Table()->rowCount(), static_cast<int>(Entries().size()));
        window->StudyFilter()->setText(PathOf("a.w8c"));
        window->Refresh();
        QCOMPARE(window->Table()->rowCount(), 1);
        window->StudyFilter()->clear();
        window->FromFilter()->setText(QStringLiteral("2001-01-01"));
        window->ToFilter()->setText(QStringLiteral("2001-12-31"));
        window->Refresh();
        QCOMPARE(window->Table()->rowCount(), 0);
        window->FromFilter()->clear();
        window->ToFilter()->clear();
        window->Refresh();
        const int rows = window->Table()->rowCount();
        dialogs_->writeNames.push_back(PathOf("registro.csv"));
        window->ExportCsv();
        QCOMPARE(Bytes(PathOf("registro.csv")).count("\r\n"), rows + 1);
        dialogs_->printAnswers.push_back(true);
        dialogs_->printToFile = PathOf("registro.pdf");
        window->Print();
        const QString text = Run(QStringLiteral("pdftotext"), {PathOf("registro.pdf"), "-"});
        QVERIFY2(text.contains(QStringLiteral("Registro de auditoría")) &&
                     text.contains(QStringLiteral("guardado como")),
                 qPrintable(text));
        window->VerifyChain();
        QVERIFY(window->ChainState()->text().contains(QStringLiteral("íntegro")));
        // An entry edited behind the program's back.
        recorder_ = std::make_unique<AuditRecorder>(); // a fresh connection after the change
        const QString db = PathOf("datos/valdex/auditoria.sqlite");
        Run(QStringLiteral("sqlite3"), {db, "DROP TRIGGER entradas_sin_cambios; UPDATE entradas "
                                            "SET evento = 'abierto' WHERE secuencia = 2;"});
        const std::optional<std::string> problem =
            StartCheckProblem(recorder_->Trail(), recorder_->Problem());
        QVERIFY(problem);
        QVERIFY(
            QString::fromStdString(*problem).contains(QStringLiteral("La entrada 2 fue alterada")));
        // As the application starts: on a thread of its own, the box in the
        // main window's.
        {
            const AuditStartCheck check(
                *recorder_, [this](const QString& problem) { dialogs_->ShowError(problem); },
                window);
            QTRY_VERIFY(check.Finished());
            QString errors;
            QTRY_VERIFY((errors += dialogs_->TakeErrors().join(""))
                            .contains(QStringLiteral("La entrada 2 fue alterada")));
        }
        window->close();
        form_->Rules().SetAuditRecorder(recorder_.get());
    }
};

QTEST_MAIN(RecordsWindowTest)
#include "records_window_test.moc"
