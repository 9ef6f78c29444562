// The study window on a real X server, driven with real keys and clicks:
// the real input focus moves, message boxes are the real ones and are
// answered with keys. After each message the application must be alive, on
// the page and in the control the rules name, with no second message.

#include "../support/x_keyboard.h"
#include "app/main_window.h"
#include "study/study_grid.h"
#include "study/study_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include <memory>

using namespace valdex;
using valdex::testing::MessageWatcher;
using valdex::testing::XKeyboard;

namespace {

// How long the focus may take to come back after a box: a loaded machine
// (the sanitized tests run two at a time) has taken more than five seconds.
constexpr int kSettle = 20000;

// The name of the control holding the focus (a cell editor counts as its grid).
QString FocusedControl() {
    for (QWidget* widget = QApplication::focusWidget(); widget; widget = widget->parentWidget())
        if (!widget->objectName().isEmpty() &&
            !widget->objectName().startsWith(QLatin1String("qt_")))
            return widget->objectName();
    return {};
}

} // namespace

class StudyWindowXTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void messagesLeaveTheFocusWhereTheRulesPutIt_data();
    void messagesLeaveTheFocusWhereTheRulesPutIt();
    void clickingTheGridFromAValidCountEndsOnAceptarNiveles();
    void enterOnAFocusedButtonPressesIt();
    void escapeDoesNotAnswerTheSaveQuestion();

private:
    // Runs the steps: a chord (X keysym names, "ctrl+Next") or, after "=",
    // text typed key by key.
    void Run(const QStringList& steps);
    StudyWindow* Study() const { return form_->Finforma(); }
    // True once a window of the application is active, asking for the main
    // window when none is: after a box the window manager gives the
    // activation back, late on a loaded machine and now and then not at all.
    // That is its part; where the focus goes in the window is the rules'.
    bool Activated() const {
        if (!QApplication::activeWindow() && !QApplication::activeModalWidget())
            form_->activateWindow();
        return QApplication::activeWindow() != nullptr;
    }
    QString SettledFocus() const { return Activated() ? FocusedControl() : QString(); }

    XKeyboard keyboard_;
    std::unique_ptr<MessageWatcher> watcher_;
    std::unique_ptr<MainWindow> form_;
};

void StudyWindowXTest::initTestCase() {
    QVERIFY2(keyboard_.Ready(), "no X display");
    QVERIFY(QGuiApplication::platformName() == QLatin1String("xcb"));
}

void StudyWindowXTest::init() {
    form_ = std::make_unique<MainWindow>(); // the real message boxes
    form_->setGeometry(0, 0, 1000, 720);
    form_->show();
    form_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    watcher_ = std::make_unique<MessageWatcher>(keyboard_);
}

void StudyWindowXTest::cleanup() {
    form_->estado()->clear(); // no save question at the end
    watcher_.reset();
    form_.reset();
}

void StudyWindowXTest::Run(const QStringList& steps) {
    for (const QString& step : steps) {
        QTRY_VERIFY_WITH_TIMEOUT(Activated(), kSettle);
        if (step.startsWith(QLatin1Char('=')))
            keyboard_.Type(step.mid(1));
        else
            keyboard_.Press(step);
        // A key typed before the new study window holds the focus would
        // reach the window behind it.
        if (step == QLatin1String("ctrl+n"))
            QTRY_VERIFY_WITH_TIMEOUT(Study() && Study()->isAncestorOf(QApplication::focusWidget()),
                                     kSettle);
    }
    QTest::qWait(150);
}

void StudyWindowXTest::messagesLeaveTheFocusWhereTheRulesPutIt_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("focus");

    const QString toLevels = QStringLiteral("ctrl+Next");
    // From "Aceptar niveles" into the levels grid, typing the six cells.
    auto levels = [](const QStringList& cells) {
        QStringList steps{QStringLiteral("ctrl+n"), QStringLiteral("ctrl+Next"),
                          QStringLiteral("Tab"), QStringLiteral("Tab")};
        for (const QString& cell : cells) {
            if (!cell.isEmpty()) steps << QLatin1Char('=') + cell;
            steps << QStringLiteral("Tab");
        }
        return steps;
    };
    const QString mismatch = QStringLiteral(
        "El número de celdas de captura para los niveles, no coincide con el número de niveles "
        "especificado.");

    QTest::newRow("no selection of the calculation type")
        << QStringList{"ctrl+n", "Tab", "Tab", "Tab", "Tab", "Tab", "Tab"}
        << QStringLiteral("Falta hacer su selección") << 0 << QStringLiteral("ComboBox1");
    QTest::newRow("level count empty")
        << QStringList{"ctrl+n", toLevels, "End", "BackSpace", "Tab"}
        << QStringLiteral("Falta capturar el número de niveles.") << 1 << QStringLiteral("enivel");
    QTest::newRow("level count not a number")
        << QStringList{"ctrl+n", toLevels, "End", "BackSpace", "=x", "Tab"}
        << QStringLiteral("El valor de captura no es un valor numérico.") << 1
        << QStringLiteral("enivel");
    QTest::newRow("level count out of range")
        << QStringList{"ctrl+n", toLevels, "End", "BackSpace", "=1", "Tab"}
        << QStringLiteral("Datos fuera de rango, 2-10 número de niveles") << 1
        << QStringLiteral("enivel");
    QTest::newRow("level count not accepted, Tab into the grid")
        << QStringList{"ctrl+n", toLevels, "End", "BackSpace", "=4", "Tab", "Tab"} << mismatch << 1
        << QStringLiteral("enivel");
    QTest::newRow("level count not accepted, Guardar")
        << QStringList{"ctrl+n", "Tab", "Tab",       "Tab", "Tab",   "Tab", "=Ordenada al Origen",
                       toLevels, "End", "BackSpace", "=4",  "ctrl+g"}
        << mismatch << 1 << QStringLiteral("enivel");
    QTest::newRow("levels grid left with an empty cell")
        << levels({"1", "2", "3", "3", "", "3"}) << QStringLiteral("Falta capturar algún dato") << 1
        << QStringLiteral("stgnivel");
    QTest::newRow("levels grid left with a text")
        << levels({"1", "a", "3", "3", "3", "3"})
        << QStringLiteral("Algún dato no es un valor numérico.") << 1 << QStringLiteral("stgnivel");
    QTest::newRow("data page with no level value")
        << QStringList{"ctrl+n", toLevels, toLevels}
        << QStringLiteral("Falta capturar el valor del nivel 1") << 1 << QStringLiteral("stgnivel");
    QTest::newRow("levels grid left by turning the page")
        << QStringList{"ctrl+n", toLevels, "Tab", "Tab", "=1", "ctrl+Next"}
        << QStringLiteral("Falta capturar algún dato") << 1 << QStringLiteral("stgnivel");
    QTest::newRow("replicate count not whole")
        << (levels({"1", "2", "3", "1.5", "2", "2"}) << toLevels)
        << QStringLiteral("La replicación del nivel 1 no es un número entero.") << 1
        << QStringLiteral("stgnivel");
    QTest::newRow("replicate count negative")
        << (levels({"1", "2", "3", "-1", "2", "2"}) << toLevels)
        << QStringLiteral("La replicación del nivel 1 es negativa.") << 1
        << QStringLiteral("stgnivel");
    QTest::newRow("data grid left with an empty response")
        << (levels({"1", "2", "3", "1", "1", "1"}) << toLevels << "=5"
                                                   << "ctrl+Prior")
        << QStringLiteral("Falta capturar el 2 º dato .") << 2 << QStringLiteral("stgdatos");
    QTest::newRow("data grid left with a text")
        << (levels({"1", "2", "3", "1", "1", "1"}) << toLevels << "=a"
                                                   << "Tab"
                                                   << "=2"
                                                   << "Tab"
                                                   << "=3"
                                                   << "ctrl+Prior")
        << QStringLiteral("El dato 1 no es un valor numérico.") << 2 << QStringLiteral("stgdatos");
}

void StudyWindowXTest::messagesLeaveTheFocusWhereTheRulesPutIt() {
    QFETCH(QStringList, steps);
    QFETCH(QString, message);
    QFETCH(int, page);
    QFETCH(QString, focus);

    Run(steps);
    QTRY_COMPARE_WITH_TIMEOUT(watcher_->texts, QStringList{message}, kSettle);
    QVERIFY(Study());
    QTRY_COMPARE_WITH_TIMEOUT(Study()->Thojas()->currentIndex(), page, kSettle);
    QTRY_COMPARE_WITH_TIMEOUT(SettledFocus(), focus, kSettle);
    // Still alive and answering: a key reaches the window and nothing more
    // is said.
    keyboard_.Press(QStringLiteral("shift+Tab"));
    QTest::qWait(200);
    QVERIFY(form_->isVisible());
}

// The level count's exit check passes and puts the focus on "Aceptar
// niveles"; the click on the grid ends there, with no message.
void StudyWindowXTest::clickingTheGridFromAValidCountEndsOnAceptarNiveles() {
    Run({QStringLiteral("ctrl+n"), QStringLiteral("ctrl+Next")});
    QTRY_COMPARE_WITH_TIMEOUT(SettledFocus(), QStringLiteral("enivel"), kSettle);
    StudyGrid* grid = Study()->stgnivel();
    keyboard_.Click(grid->viewport(), grid->visualRect(grid->model()->index(0, 1)).center());
    QTest::qWait(300);
    QCOMPARE(watcher_->texts, QStringList{});
    QTRY_COMPARE_WITH_TIMEOUT(SettledFocus(), QStringLiteral("bnivel"), kSettle);

    // Typed 4, then the grid clicked: one move, no message (the grid's entry
    // check does not run).
    keyboard_.Click(Study()->ControlWidget(Control::enivel), QPoint(10, 8));
    Run({QStringLiteral("End"), QStringLiteral("BackSpace"), QStringLiteral("=4")});
    keyboard_.Click(grid->viewport(), grid->visualRect(grid->model()->index(0, 1)).center());
    QTest::qWait(300);
    QCOMPARE(watcher_->texts, QStringList{});
    QTRY_COMPARE_WITH_TIMEOUT(SettledFocus(), QStringLiteral("bnivel"), kSettle);
}

// Type the level count, Enter (to "Aceptar niveles"), Enter (presses it).
void StudyWindowXTest::enterOnAFocusedButtonPressesIt() {
    Run({QStringLiteral("ctrl+n"), QStringLiteral("ctrl+Next"), QStringLiteral("End"),
         QStringLiteral("BackSpace"), QStringLiteral("=5"), QStringLiteral("Return")});
    QTRY_COMPARE_WITH_TIMEOUT(SettledFocus(), QStringLiteral("bnivel"), kSettle);
    Run({QStringLiteral("Return")});
    QTRY_COMPARE_WITH_TIMEOUT(Study()->stgnivel()->columnCount(), 5, kSettle);
    QCOMPARE(watcher_->texts, QStringList{});
}

// Escape is no answer to "Guardar archivo?": the question stays; "n" then
// answers No and the window closes.
void StudyWindowXTest::escapeDoesNotAnswerTheSaveQuestion() {
    Run({QStringLiteral("ctrl+n"), QStringLiteral("=abc")});
    QTRY_COMPARE_WITH_TIMEOUT(form_->estado()->text(), QStringLiteral("Modificado"), kSettle);
    watcher_->keys = QStringList{QStringLiteral("Escape"), QStringLiteral("n")};
    form_->MdiArea()->activeSubWindow()->close();
    QTest::qWait(500);
    QTRY_VERIFY_WITH_TIMEOUT(!form_->Finforma(), kSettle);
    QCOMPARE(watcher_->texts.size(), 1);
    QCOMPARE(watcher_->keptBoxOpen, QStringList{QStringLiteral("Escape")});
    QTRY_COMPARE_WITH_TIMEOUT(form_->estado()->text(), QStringLiteral(" "), kSettle);
}

QTEST_MAIN(StudyWindowXTest)
#include "study_window_xtest.moc"
