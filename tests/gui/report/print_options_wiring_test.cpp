// The print options dialogs on the main window: its Lasser and Deskjet
// commands show them, and "Aceptar" prints the current study window's study
// or reports through the main window's error box.

#include "../../core/support/worked_example.h"
#include "../support/scripted_dialogs.h"
#include "app/main_window.h"
#include "report/print_options_wiring.h"
#include "study/study_window_rules.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class PrintOptionsWiringTest : public QObject {
    Q_OBJECT

private:
    void Script(valdex::PrintOptionsDialog& dialog) {
        dialog.SetPrintDialogRunner(
            [this](QPrinter& printer, QWidget*, const valdex::PagePainter&) {
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(pdf_);
                printer.setResolution(600);
                return true;
            });
    }
    QString PdfText() {
        QProcess process;
        process.start(QStringLiteral("pdftotext"), {pdf_, QStringLiteral("-")});
        process.waitForFinished();
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    QTemporaryDir dir_;
    QString pdf_;

private slots:
    void init() {
        pdf_ = dir_.filePath(QStringLiteral("pagina.pdf"));
        QFile::remove(pdf_);
    }

    void commandsShowTheDialogsAndPrintTheCurrentStudy() {
        auto scripted = std::make_unique<valdex::testing::ScriptedDialogs>();
        valdex::testing::ScriptedDialogs& dialogs = *scripted;
        valdex::MainWindow window(std::move(scripted));
        const valdex::PrintOptionsDialogs options = valdex::InstallPrintOptions(window);
        Script(*options.laser);
        Script(*options.deskjet);
        QVERIFY(!options.laser->isVisible());
        QVERIFY(!options.deskjet->isVisible());

        // No study window: nothing to print, nothing to say.
        options.laser->BitBtn1Click();
        QVERIFY(!QFile::exists(pdf_));

        window.Rules().FileNew();
        QVERIFY(window.Rules().Finforma() != nullptr);
        window.Rules().PrintLasserClick();
        QVERIFY(options.laser->isVisible());

        // A new study has no replicate counts: page 1 stops at the first one.
        options.laser->BitBtn1Click();
        QCOMPARE(dialogs.errors, QStringList{QStringLiteral("'' is not a valid integer value.")});
        QVERIFY(!QFile::exists(pdf_));

        window.Rules().Finforma()->LoadStudy(valdex::testing::WorkedExample());
        options.laser->SetItemIndex(1);
        options.laser->BitBtn1Click();
        QVERIFY(PdfText().contains(QStringLiteral("Pendiente = 2.0233333")));

        // Deskjet: the level check passes, its dialog opens and prints.
        window.Rules().FilePrint();
        QVERIFY(options.deskjet->isVisible());
        options.deskjet->BitBtn1Click();
        QVERIFY(PdfText().contains(QStringLiteral("INFORMACIÓN GENERAL")));
        QCOMPARE(dialogs.errors.size(), 1);
    }
};

QTEST_MAIN(PrintOptionsWiringTest)
#include "print_options_wiring_test.moc"
