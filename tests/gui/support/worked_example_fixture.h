#pragma once
// The main window with the worked example opened from a file in a scratch
// folder, its data page entered, for the tests of the windows that start
// from a study (the diagnostics window).

#include "../../core/support/worked_example.h"
#include "diagnostics/diagnostics_window.h"
#include "files/study_file.h"
#include "keyboard.h"
#include "main_form_fixture.h"
#include "study/study_window.h"

#include <QMdiArea>
#include <QTemporaryDir>
#include <QtTest>

namespace valdex::testing {

class WorkedExampleFixture : protected MainFormFixture {
protected:
    QString PathOf(const QString& name) const { return folder_.filePath(name); }

    // The study window on its data page, or null when it did not get there.
    StudyWindow* OpenWorkedExample() {
        const QString path = PathOf(QStringLiteral("curva.w8c"));
        WriteStudyFile(WorkedExample(), path.toStdString());
        dialogs_->openNames.push_back(path);
        form_->MenuAction(Command::FileOpenItem)->trigger();
        StudyWindow* study = form_->Finforma();
        if (!study) return nullptr;
        form_->MdiArea()->setActiveSubWindow(study);
        if (!QTest::qWaitFor([] { return FocusedControl() == QStringLiteral("esistema"); }))
            return nullptr;
        NextPage();
        NextPage();
        return FocusedControl() == QStringLiteral("stgdatos") ? study : nullptr;
    }

    // Cálculos > Diagnóstico: the window it opened, the newest.
    DiagnosticsWindow* RunDiagnostics() {
        form_->MenuAction(Command::mnudiagnostico)->trigger();
        const QList<DiagnosticsWindow*> windows = form_->findChildren<DiagnosticsWindow*>();
        return windows.isEmpty() ? nullptr : windows.constLast();
    }

    QTemporaryDir folder_;
};

} // namespace valdex::testing
