#pragma once
// The main window the window tests start from: scripted dialogs, the window
// shown at a fixed size and active. A test class derives from it next to
// QObject, opens the window in init() and closes it in cleanup().

#include "app/main_window.h"
#include "scripted_dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLocale>
#include <QtTest>

#include <clocale>
#include <memory>

namespace valdex::testing {

// A point as decimal separator, whatever the machine's locale.
inline void UseCLocale() {
    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(QLocale::c());
}

class MainFormFixture {
protected:
    // Fails the current test when the window does not become active.
    void OpenMainForm() {
        auto dialogs = std::make_unique<ScriptedDialogs>();
        dialogs_ = dialogs.get();
        form_ = std::make_unique<MainWindow>(std::move(dialogs));
        form_->resize(1000, 700);
        form_->show();
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    }

    // Nothing of the study is asked about at the end of a test. A test that
    // leaves an unexpected dialog, an error box it did not take, or a window
    // of a dialog still open, fails here.
    void CloseMainForm() {
        const QStringList unexpected = dialogs_->unexpected;
        const QStringList errors = dialogs_->errors;
        form_->estado()->clear();
        form_.reset();
        QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(QLatin1Char('\n'))));
        QVERIFY2(errors.isEmpty(), qPrintable(QStringLiteral("error box not expected: ") +
                                              errors.join(QLatin1Char('\n'))));
        for (QWidget* window : QApplication::topLevelWidgets())
            QVERIFY2(!(window->isVisible() && qobject_cast<QDialog*>(window)),
                     qPrintable(QStringLiteral("dialog left open: ") + window->objectName()));
    }

    ScriptedDialogs* dialogs_ = nullptr; // owned by the form
    std::unique_ptr<MainWindow> form_;
};

} // namespace valdex::testing
