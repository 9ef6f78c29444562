// Ventana > Mosaico on a real X server with a window manager: the study, a
// results and a diagnostics window tiled by a real click on the toolbar's
// Mosaico button. The diagnostics window's plots must stay whole or
// reachable by scrolling, and nothing of the window may fall outside it.
// A screenshot goes to VALDEX_CAPTURA when that names a file.

#include "../../core/support/worked_example.h"
#include "app/main_window.h"
#include "diagnostics/diagnostics_window.h"
#include "files/study_file.h"

#include <QLabel>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>

// Last: Xlib's macros clash with Qt's names.
#include "../support/x_keyboard.h"

using namespace valdex;
using valdex::testing::XKeyboard;

class DiagnosticsTileXTest : public QObject {
    Q_OBJECT

private slots:
    void tiledDiagnosticsKeepTheirPlotsReachable() {
        XKeyboard keyboard;
        QVERIFY2(keyboard.Ready(), "no X display");
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("curva.w8c"));
        WriteStudyFile(valdex::testing::WorkedExample(), path.toStdString());

        auto form = std::make_unique<MainWindow>();
        form->setGeometry(0, 0, 1200, 1000);
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QVERIFY(form->Rules().OpenNamedStudy(path.toStdString()));
        QTRY_VERIFY(form->Finforma() && form->Finforma()->isActiveWindow());
        keyboard.Press(QStringLiteral("ctrl+Next"));
        keyboard.Press(QStringLiteral("ctrl+Next"));
        QTRY_VERIFY(form->MenuAction(Command::mnudiagnostico)->isEnabled());
        form->MenuAction(Command::mnudunet)->trigger();
        form->MenuAction(Command::mnudiagnostico)->trigger();
        auto* window = form->findChild<DiagnosticsWindow*>();
        QVERIFY(window);
        QToolButton* mosaico = form->ToolButton(Command::spdmosaico);
        QVERIFY(mosaico && mosaico->isEnabled());
        keyboard.Click(mosaico, mosaico->rect().center());
        QTRY_VERIFY(window->height() < form->MdiArea()->viewport()->height() / 2);
        QTest::qWait(300);

        if (const QByteArray shot = qgetenv("VALDEX_CAPTURA"); !shot.isEmpty())
            form->screen()->grabWindow(0).save(QString::fromLocal8Bit(shot));

        auto* area = window->findChild<QScrollArea*>(QStringLiteral("desplazamientoGraficos"));
        QVERIFY(area && area->isVisible());
        const QSize plots = window->Plots()->size();
        const QSize shown = area->viewport()->size();
        QCOMPARE(area->verticalScrollBar()->maximum(),
                 std::max(0, plots.height() - shown.height()));
        if (plots.height() > shown.height()) QVERIFY(area->verticalScrollBar()->isVisible());
        // Every control of the window lies inside it.
        for (QWidget* control :
             {static_cast<QWidget*>(area), static_cast<QWidget*>(window->bimprimir()),
              static_cast<QWidget*>(window->SampleResult())}) {
            const QRect inWindow(control->mapTo(window, QPoint(0, 0)), control->size());
            QVERIFY2(window->rect().contains(inWindow), qPrintable(control->objectName()));
        }
        form->estado()->clear();
    }
};

QTEST_MAIN(DiagnosticsTileXTest)
#include "diagnostics_tile_xtest.moc"
