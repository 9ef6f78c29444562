// The start-up with a study named on the command line, driven through the
// same function as the program, with scripted dialogs: the study window
// appears when the splash has gone, with the file's path as caption; a
// refused file gives its error box and no study window.

#include "../gui/support/scripted_dialogs.h"
#include "app/main_window.h"
#include "app/splash_window.h"
#include "files/study_file.h"
#include "startup.h"
#include "study/study_window.h"
#include "study/study_window_rules.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

#include <clocale>
#include <filesystem>
#include <memory>

using namespace valdex;
using valdex::testing::ScriptedDialogs;

namespace {

// Two levels of two replicates, complete, as the writer writes it.
CalibrationStudy SmallStudy() {
    CalibrationStudy study = CalibrationStudy::MakeNew();
    study.MethodName = "Método de arranque";
    study.CalculationType = "Regresión";
    study.LevelCount = "2";
    study.Levels = {{"Nivel 1", "1", "2"}, {"Nivel 2", "2", "2"}};
    study.Responses = {{"Nivel 1 , Replica 1", "1", ""},
                       {"Nivel 1 , Replica 2", "1.1", ""},
                       {"Nivel 2 , Replica 1", "2", ""},
                       {"Nivel 2 , Replica 2", "2.1", ""}};
    return study;
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;
    ScriptedDialogs* dialogs_ = nullptr;
    std::unique_ptr<MainWindow> form_;
    std::unique_ptr<SplashWindow> splash_;
    QList<bool> hookCalls_;

    std::string PathOf(const char* name) const {
        return folder_.filePath(QString::fromLatin1(name)).toStdString();
    }

    void Start(const std::optional<std::string>& study) {
        auto dialogs = std::make_unique<ScriptedDialogs>();
        dialogs_ = dialogs.get();
        form_ = std::make_unique<MainWindow>(std::move(dialogs));
        splash_ = std::make_unique<SplashWindow>();
        hookCalls_.clear();
        StartUp(*form_, *splash_, study, [this](bool opened) { hookCalls_ << opened; });
        // The splash may hold the activation; the main window's first one has
        // started its timer all the same (WaitForTheSplash sees to that).
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    }

    // Waits for the splash to go (3000 ms after the main window became active).
    void WaitForTheSplash() {
        QVERIFY(splash_->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!splash_->isVisible(), 10000);
    }

private slots:
    void initTestCase() {
        std::setlocale(LC_ALL, "C");
        QVERIFY(folder_.isValid());
        WriteStudyFile(SmallStudy(), PathOf("arranque.w8c"));
        QFile broken(QString::fromStdString(PathOf("roto.w8c")));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("a\r\nb\r\nc\r\nd\r\ne\r\nRegresi\xf3n\r\n2\r\n1\r\n");
    }

    void cleanup() {
        // The dialogs go with the form.
        const QStringList unexpected = dialogs_ ? dialogs_->unexpected : QStringList();
        const QStringList errors = dialogs_ ? dialogs_->errors : QStringList();
        dialogs_ = nullptr;
        if (form_) form_->estado()->clear();
        splash_.reset();
        form_.reset();
        QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join('\n')));
        QVERIFY2(errors.isEmpty(),
                 qPrintable(QStringLiteral("error box not expected: ") + errors.join('\n')));
    }

    void studyArgumentIsTheFirstPathMadeAbsolute() {
        const std::string here = std::filesystem::current_path().string();
        struct Case {
            std::vector<std::string> arguments;
            std::optional<std::string> study;
        };
        const Case cases[] = {
            {{"valdex"}, std::nullopt},
            {{"valdex", "/datos/uno.w8c", "/datos/dos.w8c"}, "/datos/uno.w8c"},
            {{"valdex", "--algo", "", "ensayo.w8c"}, here + "/ensayo.w8c"},
            {{"valdex", "./sub/../año 1.w8c"}, here + "/año 1.w8c"},
            {{"valdex", "-"}, std::nullopt},
        };
        for (const Case& c : cases) {
            const std::optional<std::string> got = StudyArgument(c.arguments);
            QCOMPARE(got.value_or("(ninguno)"), c.study.value_or("(ninguno)"));
        }
    }

    void theStudyWindowAppearsWhenTheSplashHasGone() {
        const std::string path = PathOf("arranque.w8c");
        QElapsedTimer clock;
        clock.start();
        Start(path);
        if (QTest::currentTestFailed()) return;
        // The splash is up and nothing is open yet.
        QTest::qWait(2000);
        QVERIFY(splash_->isVisible());
        QVERIFY(!form_->Finforma());
        WaitForTheSplash();
        QTRY_VERIFY(form_->Finforma());
        // A coarse Qt timer may fire up to 5 % early.
        QVERIFY2(clock.elapsed() >= 2850, qPrintable(QString::number(clock.elapsed())));
        StudyWindow* study = form_->Finforma();
        QCOMPARE(study->windowTitle(), QString::fromStdString(path));
        QVERIFY(study->isVisible());
        QCOMPARE(study->Rules().Study().MethodName, std::string("Método de arranque"));
        QCOMPARE(QString::fromStdString(form_->Rules().SaveFileName()),
                 QString::fromStdString(path));
        QCOMPARE(hookCalls_, QList<bool>{true});
        QVERIFY(dialogs_->errors.isEmpty());
        // Another activation fires the timer again; nothing more is opened.
        form_->activateWindow();
        QTest::qWait(3300);
        QCOMPARE(hookCalls_, QList<bool>{true});
    }

    void aRefusedFileLeavesTheApplicationWithoutAStudyWindow() {
        struct Case {
            const char* name;
            QString error;
        };
        const Case cases[] = {
            {"falta.w8c", QStringLiteral("File not found")},
            {"roto.w8c", QString()}, // the reader's own message, whatever it is
        };
        for (const Case& c : cases) {
            Start(PathOf(c.name));
            if (QTest::currentTestFailed()) return;
            WaitForTheSplash();
            QTRY_COMPARE(hookCalls_, QList<bool>{false});
            const QStringList errors = dialogs_->TakeErrors();
            QCOMPARE(errors.size(), 1);
            // The file came from the command line: the box names it.
            const QString named = QStringLiteral("No se pudo abrir \"%1\": ")
                                      .arg(QString::fromStdString(PathOf(c.name)));
            QVERIFY2(errors[0].startsWith(named), qPrintable(errors[0]));
            if (!c.error.isEmpty()) QVERIFY2(errors[0].contains(c.error), qPrintable(errors[0]));
            QVERIFY(!form_->Finforma());
            QVERIFY(form_->isVisible());
            // The application goes on as at start: Abrir still offered.
            QVERIFY(form_->MenuAction(Command::FileOpenItem)->isEnabled());
            cleanup();
        }
    }

    void withoutAFileNothingOpens() {
        Start(std::nullopt);
        if (QTest::currentTestFailed()) return;
        // An error box at start (the audit trail's) waits for the splash.
        ShowAfterSplash(*form_, *splash_, QStringLiteral("primero"));
        QTest::qWait(100);
        QVERIFY(dialogs_->errors.isEmpty());
        WaitForTheSplash();
        QTRY_VERIFY(!dialogs_->errors.isEmpty());
        QCOMPARE(dialogs_->TakeErrors(), QStringList{QStringLiteral("primero")});
        ShowAfterSplash(*form_, *splash_, QStringLiteral("después"));
        QCOMPARE(dialogs_->TakeErrors(), QStringList{QStringLiteral("después")});
        QTest::qWait(100);
        QVERIFY(!form_->Finforma());
        QVERIFY(hookCalls_.isEmpty());
        QVERIFY(dialogs_->errors.isEmpty());
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
