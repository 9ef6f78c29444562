// valdex: the desktop application. Without a display it says so and prints
// the bundled example's results through valdex-cli instead.

#include "app/main_window.h"
#include "app/splash_window.h"
#include "app/translations.h"
#include "base/app_texts.h"
#include "report/print_options_wiring.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLocale>
#include <QScreen>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

bool HasDisplay() {
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

// valdex-cli beside this program, else the one on the PATH.
int RunExampleThroughCli(const char* argv0) {
    std::puts("No hay pantalla disponible: se muestran los resultados del ejemplo "
              "con valdex-cli.");
    std::fflush(stdout);
    const QFileInfo self(QString::fromLocal8Bit(argv0));
    const QString beside = self.absoluteDir().filePath(QStringLiteral("valdex-cli"));
    const std::string cli = QFileInfo(beside).isExecutable() ? beside.toStdString() : "valdex-cli";
    // The example lives in the source tree's "ejemplos" folder; from build/bin
    // that is two levels up, otherwise relative to the working folder.
    const QString fromBuild =
        self.absoluteDir().filePath(QStringLiteral("../../ejemplos/curva-ejemplo.w8c"));
    const std::string example = QFileInfo::exists(fromBuild)
                                    ? QDir::cleanPath(fromBuild).toStdString()
                                    : "ejemplos/curva-ejemplo.w8c";
    execlp(cli.c_str(), cli.c_str(), "calcular", example.c_str(), static_cast<char*>(nullptr));
    std::perror("valdex-cli");
    return EXIT_FAILURE;
}

} // namespace

int main(int argc, char* argv[]) {
    if (!HasDisplay()) return RunExampleThroughCli(argv[0]);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("valdex"));
    valdex::InstallSpanishTranslations(app);
    valdex::UseSpanishLocale();

    valdex::MainWindow mainForm;
    valdex::SplashWindow splash;
    // The print options dialogs live, hidden, from start-up to exit.
    valdex::InstallPrintOptions(mainForm);
    QObject::connect(&mainForm, &valdex::MainWindow::activated, &splash,
                     &valdex::SplashWindow::StartTimer);
    // Maximized and active also without a window manager, the splash above.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        mainForm.setGeometry(screen->availableGeometry());
    mainForm.showMaximized();
    mainForm.activateWindow();
    splash.show();
    splash.raise();
    return app.exec();
}
