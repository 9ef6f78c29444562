// The main window as the user sees it: the menu bar and its items, the
// toolbar with its glyphs and hints, the status line, the context help, the
// splash and the about box, the Spanish standard buttons, window tiling.

#include "../support/keyboard.h"
#include "../support/main_form_fixture.h"
#include "app/about_box.h"
#include "app/glyphs.h"
#include "app/help_viewer.h"
#include "app/qt_dialog_service.h"
#include "app/splash_window.h"
#include "app/translations.h"
#include "study/study_window.h"
#include "study/study_window_rules.h"

#include <QAccessible>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using namespace valdex;
using namespace valdex::testing;

Q_DECLARE_METATYPE(valdex::Command)

class MainWindowTest : public QObject, private MainFormFixture {
    Q_OBJECT

private slots:
    void initTestCase() { UseCLocale(); }
    void init() { OpenMainForm(); }
    void cleanup() { CloseMainForm(); }

    void captionAndFont() {
        QCOMPARE(form_->windowTitle(),
                 QStringLiteral("Límite de Detección y Cuantificación del Sistema (Curva de "
                                "Calibración)"));
        QVERIFY(form_->font().bold());
        QCOMPARE(form_->font().pointSize(), 8);
        QCOMPARE(form_->StatusLine()->width(), 336);
        QCOMPARE(form_->estado()->width(), 132);
        QCOMPARE(form_->estado()->text(), QString());
        QCOMPARE(form_->findChild<QLabel*>(QStringLiteral("Paneld"))->text(),
                 QStringLiteral("F1 <Ayuda>"));
    }

    void menuItems_data() {
        QTest::addColumn<Command>("command");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shortcut");
        QTest::addColumn<int>("helpContext");
        QTest::addColumn<QString>("statusTip");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("enabled");
        using C = Command;
        auto row = [](const char* name, C command, const char* caption, const char* shortcut,
                      int context, const char* tip, bool visible, bool enabled) {
            QTest::newRow(name) << command << QString::fromUtf8(caption)
                                << QString::fromLatin1(shortcut) << context
                                << QString::fromUtf8(tip) << visible << enabled;
        };
        row("Archivo", C::FileMenu, "&Archivo", "", 1, "Crea,abre,guarda e imrpime un archivo",
            true, true);
        row("Nuevo", C::FileNewItem, "&Nuevo", "Ctrl+N", 2, "Crea un nuevo archivo", true, true);
        row("Abrir", C::FileOpenItem, "&Abrir...", "Ctrl+A", 3, "Abre un archivo ya existente",
            true, true);
        row("Cerrar", C::mnuclose, "C&errar", "", 4, "Cierra la ventana activa", true, false);
        row("Guardar", C::FileSaveItem, "&Guardar", "Ctrl+G", 5, "Guarda el archivo", true, false);
        row("Guardar como", C::FileSaveAsItem, "Guardar &como...", "", 6,
            "Guarda el archivo con un nuevo nombre y/o trayectoria", true, false);
        row("Imprimir", C::FilePrintItem, "&Imprimir...", "", 7, "Imprime el archivo actual", true,
            false);
        row("Lasser", C::PrintLasser, "Lasser", "", 0, "", true, false);
        row("Deskjet", C::PrintDeskjet, "Deskjet", "", 0, "", true, false);
        row("Salir", C::FileExitItem, "&Salir", "", 8, "Salir del módulo KOMTRAN", true, true);
        row("Cálculos", C::mnucalculos, "&Cálculos", "", 10, "Cálculos de Precisión del sistema",
            true, false);
        row("Detección", C::mnudunet, "&Detección y Cuantificación", "", 11,
            "Límite de detección y cuantificación del sistema", true, false);
        row("Informe", C::mnuinforme, "&Informe", "", 19, "Presenta datos y resultados", false,
            false);
        row("Diagnóstico", C::mnudiagnostico, "Dia&gnóstico de la calibración", "", 12,
            "Gráficos, residuos y pruebas de la curva de calibración", true, false);
        row("Validación", C::mnuvalidacion, "Informe de &validación…", "", 0,
            "Informe de validación con los veredictos de los criterios de aceptación", true, false);
        row("Ventana", C::WindowMenu, "&Ventana", "", 20, "Arregla las ventanas presentes", true,
            false);
        row("Mosaico", C::WindowTileItem, "&Mosaico", "", 20, "Arregla las ventanas en mosaico",
            true, false);
        row("Cascada", C::WindowCascadeItem, "&Cascada", "", 20, "Arregla las ventanas en cascada",
            true, false);
        row("Ayuda", C::HelpMenu, "A&yuda", "", 30, "Ayuda del módulo ORBE", true, false);
        row("Contenido", C::HelpContentsItem, "&Contenido\tF1", "", 31,
            "Presenta el contenido de la ayuda", true, true);
        row("Buscar", C::HelpSearchItem, "&Buscar ayuda sobre...\tCtrl+F1", "", 32,
            "Busca ayuda sobre", true, true);
        row("Como usar", C::HelpHowToUseItem, "Como &usar  la ayuda", "", 0, "Como usar la ayuda",
            false, false);
        row("Acerca", C::HelpAboutItem, "&Acerca...", "", 33, "Presenta información del programa",
            true, true);
    }

    void menuItems() {
        QFETCH(Command, command);
        QFETCH(QString, caption);
        QFETCH(QString, shortcut);
        QFETCH(int, helpContext);
        QFETCH(QString, statusTip);
        QFETCH(bool, visible);
        QFETCH(bool, enabled);
        QAction* action = form_->MenuAction(command);
        QVERIFY(action);
        QCOMPARE(action->objectName(), QString::fromLatin1(CommandName(command)));
        QCOMPARE(action->text(), caption);
        QCOMPARE(action->shortcut().toString(), shortcut);
        QCOMPARE(action->property("helpContext").toInt(), helpContext);
        QCOMPARE(action->statusTip(), statusTip);
        QCOMPARE(action->isVisible(), visible);
        QCOMPARE(action->isEnabled(), enabled);
    }

    // The top-level menus in order, and the file menu's items in order.
    void menuOrder() {
        QStringList bar;
        for (QAction* action : form_->menuBar()->actions())
            bar << action->text();
        QCOMPARE(bar, (QStringList{QStringLiteral("&Archivo"), QStringLiteral("&Cálculos"),
                                   QStringLiteral("&Ventana"), QStringLiteral("A&yuda")}));
        QStringList file;
        for (QAction* action : form_->MenuAction(Command::FileMenu)->menu()->actions())
            file << (action->isSeparator() ? QStringLiteral("-") : action->objectName());
        QCOMPARE(file.join(' '),
                 QStringLiteral("FileNewItem FileOpenItem mnuclose - FileSaveItem FileSaveAsItem - "
                                "FilePrintItem - FileExitItem"));
    }

    // F1 reaches no help item: their menu is disabled; F1 is context help.
    void helpShortcutsAreBlocked() {
        Key(Qt::Key_F1);
        QCOMPARE(form_->Help().CurrentContext(), 0);
        QVERIFY(form_->Help().isVisible());
        QVERIFY(form_->MenuAction(Command::HelpContentsItem)->shortcut().isEmpty());
        QVERIFY(form_->MenuAction(Command::HelpSearchItem)->shortcut().isEmpty());
    }

    void toolbarButtons_data() {
        QTest::addColumn<Command>("command");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("tooltip");
        QTest::addColumn<QString>("statusTip");
        QTest::addColumn<bool>("enabled");
        using C = Command;
        auto row = [](C command, int x, int size, const char* tip, const char* status, bool on) {
            QTest::newRow(CommandName(command)) << command << x << size << QString::fromUtf8(tip)
                                                << QString::fromUtf8(status) << on;
        };
        row(C::spdnuevo, 8, 25, "Nuevo", "Crea un nuevo archivo", true);
        row(C::spdabrir, 40, 25, "Abrir", "Abre un archivo de Curva de Calibración", true);
        row(C::spdguardar, 64, 25, "Guardar", "Guarda el archivo de Curva de Calibración", false);
        row(C::spdprint, 96, 23, "Imprimir en Lasser", "Imprimir en Lasser", false);
        row(C::spdprint1, 120, 23, "Imprimir en Deskjet", "Imprimir en Deskjet", false);
        row(C::spdclose, 164, 25, "Cerrar", "Cierra la ventana activa", false);
        row(C::spdexit, 190, 25, "Salir",
            "Salir del módulo \"LDC del Sistema (Curva de Calibración)\"", true);
        row(C::spdmosaico, 212, 25, "Mosaico", "Arregla las ventanas en mosaico", false);
        row(C::spdcascada, 236, 25, "Cascada", "Arregla las ventanas en cascada", false);
        row(C::spdcontenido, 260, 25, "Contenido", "Presenta el contenido de la ayuda", false);
    }

    void toolbarButtons() {
        QFETCH(Command, command);
        QFETCH(int, x);
        QFETCH(int, size);
        QFETCH(QString, tooltip);
        QFETCH(QString, statusTip);
        QFETCH(bool, enabled);
        QToolButton* button = form_->ToolButton(command);
        QVERIFY(button);
        QCOMPARE(button->geometry().x(), x);
        QCOMPARE(button->size(), QSize(size, size));
        QCOMPARE(button->toolTip(), tooltip);
        QCOMPARE(button->statusTip(), statusTip);
        QCOMPARE(button->isEnabled(), enabled);
        QVERIFY(!button->icon().isNull());
        QCOMPARE(button->parentWidget()->height(), 33);
    }

    // Each glyph draws something, and its disabled state differs from it.
    void glyphsHaveTwoStates() {
        for (Glyph glyph :
             {Glyph::NewPage, Glyph::OpenFolder, Glyph::Floppy, Glyph::Printer, Glyph::CloseX,
              Glyph::ExitDoor, Glyph::Tile, Glyph::Cascade, Glyph::HelpBook}) {
            const QImage normal = DrawGlyph(glyph);
            const QImage disabled = EmbossDisabled(normal);
            QCOMPARE(normal.size(), GlyphSize(glyph));
            int drawn = 0;
            for (int y = 0; y < normal.height(); ++y)
                for (int x = 0; x < normal.width(); ++x)
                    drawn += qAlpha(normal.pixel(x, y)) > 0;
            QVERIFY2(drawn > normal.width() * normal.height() / 8, "glyph nearly empty");
            QVERIFY(normal != disabled.convertToFormat(normal.format()));
        }
    }

    // The status line follows the pointer: the long hint of the button or
    // the highlighted menu item.
    void statusLineShowsTheLongHint() {
        QTest::mouseMove(form_->ToolButton(Command::spdnuevo));
        QTRY_COMPARE(form_->StatusLine()->text(), QStringLiteral("Crea un nuevo archivo"));
        QTest::mouseMove(form_->ToolButton(Command::spdprint));
        QTRY_COMPARE(form_->StatusLine()->text(), QStringLiteral("Imprimir en Lasser"));

        QTest::keyClick(form_.get(), Qt::Key_A, Qt::AltModifier);
        QMenu* file = form_->MenuAction(Command::FileMenu)->menu();
        QTRY_VERIFY(file->isVisible());
        QTest::keyClick(file, Qt::Key_Down);
        QTRY_VERIFY(file->activeAction());
        QCOMPARE(form_->StatusLine()->text(), file->activeAction()->statusTip());
        QTest::keyClick(file, Qt::Key_Escape);
    }

    // F1 on a highlighted menu item shows that item's topic; in a window, the
    // window's; elsewhere the contents.
    void contextHelp() {
        QTest::keyClick(form_.get(), Qt::Key_A, Qt::AltModifier);
        QMenu* file = form_->MenuAction(Command::FileMenu)->menu();
        QTRY_VERIFY(file->isVisible());
        file->setActiveAction(form_->MenuAction(Command::FileExitItem));
        QTest::keyClick(file, Qt::Key_F1);
        QCOMPARE(form_->Help().CurrentContext(), 8);
        QVERIFY(form_->Help().CurrentText().contains(QStringLiteral("Salir")));
        file->hide();

        QTest::keyClick(form_.get(), Qt::Key_N, Qt::ControlModifier);
        QTRY_COMPARE(FocusedControl(), QStringLiteral("esistema"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        QCOMPARE(form_->Help().CurrentContext(), 2);
        QVERIFY(form_->Help().CurrentText().contains(QStringLiteral("Información de niveles")));
    }

    // Every context number of the menus and windows has a Spanish topic.
    void everyContextHasATopic() {
        for (int context : {1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 19, 20, 30, 31, 32, 33}) {
            form_->Help().ShowTopic(context);
            QCOMPARE(form_->Help().CurrentContext(), context);
        }
        form_->Help().ShowTopic(99);
        QCOMPARE(form_->Help().CurrentContext(), 0);
    }

    void aboutBoxIsANewWindowEachTime() {
        form_->HelpAbout();
        form_->HelpAbout();
        const QList<AboutBox*> boxes = form_->findChildren<AboutBox*>();
        QCOMPARE(boxes.size(), 2);
        for (AboutBox* box : boxes) {
            QCOMPARE(box->windowTitle(), QStringLiteral("Acerca de"));
            QVERIFY(box->isVisible());
            QVERIFY(!box->isModal());
            QCOMPARE(box->property("helpContext").toInt(), 33);
        }
    }

    // The splash closes 3000 ms after the main window becomes active, not
    // before.
    void splashClosesThreeSecondsAfterActivation() {
        SplashWindow splash;
        QCOMPARE(splash.size(), QSize(505, 416));
        QVERIFY(splash.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
        connect(form_.get(), &MainWindow::activated, &splash, &SplashWindow::StartTimer);
        splash.show();
        QVERIFY(!splash.Timer1().isActive());
        splash.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&splash));
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
        QVERIFY(splash.Timer1().isActive());
        QCOMPARE(splash.Timer1().interval(), 3000);
        QTest::qWait(2500);
        QVERIFY(splash.isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!splash.isVisible(), 2000);
        QVERIFY(!splash.Timer1().isActive());
    }

    // A screen reader reads the panels' texts, not only what they are.
    void statusPanelsReadTheirTexts() {
        form_->SetEstado("Modificado");
        QAccessibleInterface* panel = QAccessible::queryAccessibleInterface(form_->estado());
        QVERIFY(panel);
        QCOMPARE(panel->text(QAccessible::Name), QStringLiteral("Modificado"));
        QCOMPARE(panel->text(QAccessible::Description), QStringLiteral("Estado del archivo"));
        form_->StatusLine()->setText(QStringLiteral("Crea un nuevo archivo"));
        QCOMPARE(
            QAccessible::queryAccessibleInterface(form_->StatusLine())->text(QAccessible::Name),
            QStringLiteral("Crea un nuevo archivo"));
    }

    // The file dialogs speak Spanish: Qt's texts and the locale's dates.
    void fileDialogsAreSpanish() {
        QVERIFY(InstallSpanishTranslations(*qApp));
        UseSpanishLocale();
        QCOMPARE(QLocale().language(), QLocale::Spanish);
        QCOMPARE(QLocale().monthName(12), QStringLiteral("diciembre"));
        StudyFileDialog dialog(nullptr, QStringLiteral("Guardar como"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        QStringList texts;
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            texts << label->text();
        for (const QPushButton* button : dialog.findChildren<QPushButton*>())
            texts << button->text();
        QVERIFY2(texts.contains(QStringLiteral("&Guardar")) ||
                     texts.contains(QStringLiteral("Guardar")),
                 qPrintable(texts.join(QLatin1Char('|'))));
        for (const char* english : {"Look in:", "File &name:", "Files of type:", "&Save", "Cancel"})
            QVERIFY2(!texts.contains(QString::fromLatin1(english)), english);
        QLocale::setDefault(QLocale::c());
    }

    // The save dialog refuses a name in a folder that is not there.
    void saveDialogRefusesAMissingFolder() {
        QTemporaryDir folder;
        StudyFileDialog dialog(nullptr, QStringLiteral("Guardar como"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDirectory(folder.path());
        dialog.selectFile(folder.filePath(QStringLiteral("no-hay/ensayo.w8c")));
        QCOMPARE(dialog.MissingFolder(), folder.filePath(QStringLiteral("no-hay")));
        QString said;
        QTimer::singleShot(100, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                said = box->text();
                box->accept();
            }
        });
        dialog.accept();
        QCOMPARE(said, QStringLiteral("La carpeta \"%1\" no existe.")
                           .arg(folder.filePath(QStringLiteral("no-hay"))));
        QVERIFY(dialog.result() != QDialog::Accepted);
        // An existing folder is accepted.
        dialog.selectFile(folder.filePath(QStringLiteral("ensayo.w8c")));
        QCOMPARE(dialog.MissingFolder(), QString());
    }

    void standardButtonsAreSpanish() {
        QVERIFY(InstallSpanishTranslations(*qApp));
        QDialogButtonBox box(QDialogButtonBox::Yes | QDialogButtonBox::No | QDialogButtonBox::Ok |
                             QDialogButtonBox::Cancel);
        auto text = [&](QDialogButtonBox::StandardButton which) {
            return box.button(which)->text().remove(QLatin1Char('&'));
        };
        QCOMPARE(text(QDialogButtonBox::Yes), QStringLiteral("Sí"));
        QCOMPARE(text(QDialogButtonBox::No), QStringLiteral("No"));
        QCOMPARE(text(QDialogButtonBox::Ok), QStringLiteral("Aceptar"));
        QCOMPARE(text(QDialogButtonBox::Cancel), QStringLiteral("Cancelar"));
    }

    // Tiling puts the windows one above the other, each as wide as the frame.
    void tileStacksTheWindows() {
        form_->Rules().FileNew();
        form_->CreateResultsWindow({"uno"});
        form_->CreateReportWindow({"dos"});
        QVERIFY(form_->ToolButton(Command::spdmosaico)->isEnabled());
        QTest::mouseClick(form_->ToolButton(Command::spdmosaico), Qt::LeftButton);
        const QList<QMdiSubWindow*> windows = form_->MdiArea()->subWindowList();
        QCOMPARE(windows.size(), 3);
        const int width = form_->MdiArea()->viewport()->width();
        int top = 0;
        for (QMdiSubWindow* window : windows) {
            QCOMPARE(window->geometry().left(), 0);
            QCOMPARE(window->geometry().width(), width);
            QCOMPARE(window->geometry().top(), top);
            top = window->geometry().bottom() + 1;
        }
    }

    // A command that fails ends in the general error box, and the program
    // goes on.
    void generalErrorBox() {
        form_->Rules().FileNew();
        form_->Finforma()->Rules().SetFieldText(Control::enivel, "x");
        form_->Rules().mnudunetClick();
        QCOMPARE(dialogs_->TakeErrors(),
                 QStringList{QStringLiteral("'x' is not a valid integer value.")});
        QVERIFY(ResultsWindows(*form_).isEmpty());
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
