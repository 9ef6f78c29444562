#pragma once
// Typing into the application the way a user does: every key goes to the
// widget that holds the focus at that moment.

#include "app/main_window.h"
#include "calc/results_window.h"

#include <QApplication>
#include <QMdiArea>
#include <QMenu>
#include <QtTest>

namespace valdex::testing {

inline QWidget* Focused() {
    QWidget* widget = QApplication::focusWidget();
    return widget ? widget : QApplication::activeWindow();
}

inline void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(Focused(), key, modifiers);
}

inline void Type(const QString& text) {
    for (QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClicks(Focused(), QString(c));
        } else {
            // Accented letters: the key of the capital letter, typing the letter itself.
            const auto key = static_cast<Qt::Key>(c.toUpper().unicode());
            QTest::sendKeyEvent(QTest::Press, Focused(), key, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, Focused(), key, QString(c), Qt::NoModifier);
        }
    }
}

inline void Enter() {
    Key(Qt::Key_Return);
}
inline void Tab() {
    Key(Qt::Key_Tab);
}
inline void NextPage() {
    Key(Qt::Key_PageDown, Qt::ControlModifier);
}

// The name of the control holding the focus (a cell editor counts as its grid).
inline QString FocusedControl() {
    for (QWidget* widget = QApplication::focusWidget(); widget; widget = widget->parentWidget())
        if (!widget->objectName().isEmpty() &&
            !widget->objectName().startsWith(QLatin1String("qt_")))
            return widget->objectName();
    return {};
}

// The results windows open in the frame, oldest first.
inline QList<ResultsWindow*> ResultsWindows(MainWindow& form) {
    QList<ResultsWindow*> windows;
    for (QMdiSubWindow* child : form.MdiArea()->subWindowList(QMdiArea::CreationOrder))
        if (auto* results = qobject_cast<ResultsWindow*>(child)) windows << results;
    return windows;
}

// Runs Cálculos > Detección y Cuantificación from the keyboard: Alt+C opens
// the menu, D chooses the item.
inline void RunCalculationFromMenu(MainWindow& form) {
    QTest::keyClick(&form, Qt::Key_C, Qt::AltModifier);
    QMenu* menu = form.MenuAction(Command::mnucalculos)->menu();
    QTRY_VERIFY(menu->isVisible());
    QTest::keyClick(menu, Qt::Key_D);
    QTRY_VERIFY(!menu->isVisible());
}

// The worked example from a new study to the data page, every value typed
// key by key: general information (Enter moves on), the calculation type,
// four levels with three replicates, the twelve responses.
inline void TypeWorkedExample(MainWindow& form, const QString& calculationType) {
    QTest::keyClick(&form, Qt::Key_N, Qt::ControlModifier);
    QTRY_COMPARE(FocusedControl(), QStringLiteral("esistema"));
    Type(QStringLiteral("Método A"));
    Enter();
    Type(QStringLiteral("Ana"));
    Enter();
    Type(QStringLiteral("01/02/2000"));
    Enter();
    Type(QStringLiteral("mg")); // units, before the measured property
    Enter();
    QCOMPARE(FocusedControl(), QStringLiteral("epmedida"));
    Type(QStringLiteral("Área"));
    Enter(); // back to the units
    QCOMPARE(FocusedControl(), QStringLiteral("ecanad"));
    Tab(); // leaving the units copies the measured property to the data heading
    QCOMPARE(FocusedControl(), QStringLiteral("ComboBox1"));
    Type(calculationType);
    Tab(); // a valid type sends the focus back to the first field
    QCOMPARE(FocusedControl(), QStringLiteral("esistema"));

    NextPage();
    QCOMPARE(FocusedControl(), QStringLiteral("enivel"));
    Key(Qt::Key_Backspace);
    Type(QStringLiteral("4"));
    Enter();
    QCOMPARE(FocusedControl(), QStringLiteral("bnivel"));
    Key(Qt::Key_Space); // "Aceptar niveles"
    Tab();
    QCOMPARE(FocusedControl(), QStringLiteral("stgnivel"));
    // Values of the four levels, then their replicate counts.
    for (const char* value : {"1", "2", "3", "4", "3", "3", "3"}) {
        Type(QString::fromLatin1(value));
        Tab();
    }
    Type(QStringLiteral("3"));
    Enter(); // the last cell: leaves the grid for "Aceptar replicas por nivel"
    QCOMPARE(FocusedControl(), QStringLiteral("botonr"));

    NextPage(); // entering the responses grid lays it out
    QCOMPARE(FocusedControl(), QStringLiteral("stgdatos"));
    const char* responses[] = {"2.1", "1.9", "2.0", "4.2", "3.9", "4.0",
                               "6.1", "5.8", "6.0", "8.3", "7.9", "8.1"};
    for (int i = 0; i < 12; ++i) {
        Type(QString::fromLatin1(responses[i]));
        if (i < 11) Tab();
    }
}

} // namespace valdex::testing
