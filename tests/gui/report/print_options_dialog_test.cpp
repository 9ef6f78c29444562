// The two print options dialogs: their texts, the choice they keep, and
// "Aceptar" printing the chosen page of the study as it is at that moment,
// with a scripted print dialog that sends the page to a PDF file.

#include "../../core/support/worked_example.h"
#include "report/deskjet_options_dialog.h"
#include "report/laser_options_dialog.h"

#include <QButtonGroup>
#include <QFile>
#include <QGroupBox>
#include <QPrintDialog>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

class RecordingErrorBox : public valdex::ErrorBox {
public:
    void ShowErrorBox(const std::string& text) override { texts.push_back(text); }
    std::vector<std::string> texts;
};

QString PdfText(const QString& path) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-layout"), path, QStringLiteral("-")});
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class PrintOptionsDialogTest : public QObject {
    Q_OBJECT

private:
    // Each dialog prints into its own file through the scripted print dialog.
    void Script(valdex::PrintOptionsDialog& dialog, bool confirm) {
        dialog.SetPrintDialogRunner(
            [this, confirm](QPrinter& printer, QWidget*, const valdex::PagePainter& preview) {
                ++dialogRuns_;
                if (previewFirst_) {
                    // "Vista previa": the page that will print, on the preview's printer.
                    QPrinter previewPrinter(QPrinter::HighResolution);
                    previewPrinter.setOutputFormat(QPrinter::PdfFormat);
                    previewPrinter.setOutputFileName(pdf_ + QStringLiteral(".vista.pdf"));
                    previewPrinter.setResolution(600);
                    preview(previewPrinter);
                }
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(pdf_);
                printer.setResolution(600);
                return confirm;
            });
    }

    QTemporaryDir dir_;
    QString pdf_;
    int dialogRuns_ = 0;
    bool previewFirst_ = false; // the user looks at the preview before printing
    valdex::CalibrationStudy study_;
    bool hasStudy_ = true;
    RecordingErrorBox errors_;
    valdex::CurrentStudy current_ = [this]() -> const valdex::CalibrationStudy* {
        return hasStudy_ ? &study_ : nullptr;
    };

private slots:
    void init() {
        pdf_ = dir_.filePath(QStringLiteral("pagina.pdf"));
        QFile::remove(pdf_);
        dialogRuns_ = 0;
        previewFirst_ = false;
        study_ = valdex::testing::WorkedExample();
        hasStudy_ = true;
        errors_.texts.clear();
    }

    void textsOfBothDialogs() {
        valdex::LaserOptionsDialog laser(nullptr, current_, errors_, '.');
        valdex::DeskjetOptionsDialog deskjet(nullptr, current_, errors_, '.');
        QCOMPARE(laser.opcion()->title(), QStringLiteral("Imprimir en Lasser :"));
        QCOMPARE(deskjet.opcion()->title(), QStringLiteral("Imprimir:"));
        for (valdex::PrintOptionsDialog* dialog :
             std::initializer_list<valdex::PrintOptionsDialog*>{&laser, &deskjet}) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("opciones"));
            QVERIFY(!dialog->isModal());
            QVERIFY(!dialog->isVisible());
            const auto items = dialog->opcion()->findChildren<QRadioButton*>();
            QCOMPARE(items.size(), 2);
            QCOMPARE(items[0]->text(), QStringLiteral("Información y Datos Generales"));
            QCOMPARE(items[1]->text(),
                     QStringLiteral("Límite de Detección y Cuantificación del Sistema"));
            QVERIFY(items[0]->isChecked());
            QCOMPARE(dialog->ItemIndex(), 0);
            QCOMPARE(dialog->BitBtn1()->text(), QStringLiteral("Aceptar"));
            QCOMPARE(dialog->BitBtn2()->text(), QStringLiteral("Cancelar"));
        }
    }

    void cancelHidesAndTheChoiceStays() {
        valdex::LaserOptionsDialog dialog(nullptr, current_, errors_, '.');
        dialog.ShowOptions();
        QVERIFY(dialog.isVisible());
        dialog.opcion()->findChildren<QRadioButton*>()[1]->click();
        QTest::mouseClick(dialog.BitBtn2(), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        dialog.ShowOptions();
        QCOMPARE(dialog.ItemIndex(), 1);
        dialog.close();
        dialog.ShowOptions();
        QCOMPARE(dialog.ItemIndex(), 1);
    }

    // The print dialog offers "Vista previa" before anything prints.
    void printDialogOffersAPreview() {
        QPrinter printer;
        QString button;
        QTimer::singleShot(200, [&] {
            auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            if (auto* preview = dialog->findChild<QPushButton*>(QStringLiteral("vistaPrevia")))
                button = preview->text();
            dialog->reject();
        });
        QVERIFY(!valdex::RunPrintDialogWithPreview(printer, nullptr, [](QPrinter&) {}));
        QCOMPARE(button, QStringLiteral("Vista previa"));
    }

    void cancelledPrintDialogPrintsNothing() {
        valdex::LaserOptionsDialog dialog(nullptr, current_, errors_, '.');
        Script(dialog, false);
        dialog.ShowOptions();
        QTest::mouseClick(dialog.BitBtn1(), Qt::LeftButton);
        QCOMPARE(dialogRuns_, 1);
        QVERIFY(!QFile::exists(pdf_));
        QVERIFY(errors_.texts.empty());
        QVERIFY(dialog.isVisible());
    }

    void aceptarPrintsTheChosenPage_data() {
        QTest::addColumn<bool>("laser");
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Lasser 1") << true << 0 << QStringLiteral("Información General");
        QTest::newRow("Lasser 2") << true << 1 << QStringLiteral("Pendiente = 2.0233333");
        QTest::newRow("Deskjet 1") << false << 0 << QStringLiteral("INFORMACIÓN GENERAL");
        QTest::newRow("Deskjet 2") << false << 1 << QStringLiteral("PENDIENTE = 2.0233333");
    }
    void aceptarPrintsTheChosenPage() {
        QFETCH(bool, laser);
        QFETCH(int, item);
        QFETCH(QString, expected);
        std::unique_ptr<valdex::PrintOptionsDialog> dialog;
        if (laser)
            dialog = std::make_unique<valdex::LaserOptionsDialog>(nullptr, current_, errors_, '.');
        else
            dialog =
                std::make_unique<valdex::DeskjetOptionsDialog>(nullptr, current_, errors_, '.');
        Script(*dialog, true);
        previewFirst_ = true;
        dialog->ShowOptions();
        dialog->SetItemIndex(item);
        QTest::mouseClick(dialog->BitBtn1(), Qt::LeftButton);
        QVERIFY2(errors_.texts.empty(), errors_.texts.empty() ? "" : errors_.texts[0].c_str());
        QVERIFY(QFile::exists(pdf_));
        QVERIFY(PdfText(pdf_).contains(expected));
        QVERIFY(PdfText(pdf_ + QStringLiteral(".vista.pdf")).contains(expected)); // the preview
        // The dialog stays open for another print.
        QVERIFY(dialog->isVisible());
    }

    // Each "Aceptar" reads the study as it is then: a change made while the
    // dialog is open shows on the next print.
    void eachPrintReadsTheCurrentStudy() {
        valdex::LaserOptionsDialog dialog(nullptr, current_, errors_, '.');
        Script(dialog, true);
        dialog.SetItemIndex(1);
        dialog.BitBtn1Click();
        QVERIFY(std::abs(dialog.Laser().Result().Slope - 2.0233333) < 1e-7);
        for (valdex::ResponseRow& row : study_.Responses)
            row.Response = std::to_string(std::stod(row.Response) * 2);
        dialog.BitBtn1Click();
        QVERIFY(std::abs(dialog.Laser().Result().Slope - 4.0466667) < 1e-6);
        QVERIFY(PdfText(pdf_).contains(QStringLiteral("Pendiente = 4.0466667")));
    }

    // Failures go to the general error handler and print nothing: page 2
    // before any job, page 1 by abandoning the job it began.
    void failuresReachTheErrorHandler_data() {
        QTest::addColumn<bool>("laser");
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("levelCount");
        QTest::addColumn<QString>("response");
        QTest::addColumn<QString>("message");
        QTest::newRow("Lasser 2, response") << true << 1 << "4"
                                            << "abc"
                                            << "'abc' is not a valid floating point value.";
        QTest::newRow("Deskjet 2, response") << false << 1 << "4"
                                             << "abc"
                                             << "'abc' is not a valid floating point value.";
        QTest::newRow("Lasser 1, level count") << true << 0 << "x"
                                               << "2.1"
                                               << "'x' is not a valid integer value.";
        QTest::newRow("Deskjet 1, level count") << false << 0 << "x"
                                                << "2.1"
                                                << "'x' is not a valid integer value.";
    }
    void failuresReachTheErrorHandler() {
        QFETCH(bool, laser);
        QFETCH(int, item);
        QFETCH(QString, levelCount);
        QFETCH(QString, response);
        QFETCH(QString, message);
        study_.LevelCount = levelCount.toStdString();
        study_.Responses[0].Response = response.toStdString();
        std::unique_ptr<valdex::PrintOptionsDialog> dialog;
        if (laser)
            dialog = std::make_unique<valdex::LaserOptionsDialog>(nullptr, current_, errors_, '.');
        else
            dialog =
                std::make_unique<valdex::DeskjetOptionsDialog>(nullptr, current_, errors_, '.');
        Script(*dialog, true);
        dialog->SetItemIndex(item);
        dialog->BitBtn1Click();
        QCOMPARE(errors_.texts.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(errors_.texts[0]), message);
        QVERIFY(!QFile::exists(pdf_));
    }

    void noStudyWindowPrintsNothing() {
        hasStudy_ = false;
        valdex::DeskjetOptionsDialog dialog(nullptr, current_, errors_, '.');
        Script(dialog, true);
        dialog.BitBtn1Click();
        QVERIFY(!QFile::exists(pdf_));
        QVERIFY(errors_.texts.empty());
    }
};

QTEST_MAIN(PrintOptionsDialogTest)
#include "print_options_dialog_test.moc"
