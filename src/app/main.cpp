// valdex: the desktop application. `valdex ARCHIVO.w8c` opens that study
// once the splash has gone. Without a display it says so and prints the
// bundled example's results through valdex-cli instead.

#include "app/main_window.h"
#include "app/splash_window.h"
#include "app/translations.h"
#include "base/app_texts.h"
#include "records/audit_recorder.h"
#include "records/audit_start_check.h"
#include "records/audit_window.h"
#include "report/print_options_wiring.h"
#include "startup.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QIcon>
#include <QLocale>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

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
    // The example lives in the source tree's "ejemplos" folder (build/bin is
    // two levels below it) or, installed, in share/valdex/ejemplos beside
    // bin; otherwise it is looked for relative to the working folder.
    std::string example = "ejemplos/curva-ejemplo.w8c";
    for (const char* relative :
         {"../../ejemplos/curva-ejemplo.w8c", "../share/valdex/ejemplos/curva-ejemplo.w8c"}) {
        const QString candidate = self.absoluteDir().filePath(QString::fromLatin1(relative));
        if (QFileInfo::exists(candidate)) {
            example = QDir::cleanPath(candidate).toStdString();
            break;
        }
    }
    execlp(cli.c_str(), cli.c_str(), "calcular", example.c_str(), static_cast<char*>(nullptr));
    std::perror("valdex-cli");
    return EXIT_FAILURE;
}

// Milliseconds since this process started (from /proc, in clock ticks), or
// -1 when that cannot be read.
long MillisecondsSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t afterName = text.rfind(')');
    if (afterName == std::string::npos) return -1;
    std::istringstream fields(text.substr(afterName + 2));
    std::string field;
    // Field 22, starttime; the fields after the name start at field 3.
    for (int index = 3; index <= 22 && fields >> field; ++index)
        if (index == 22) {
            timespec now{};
            clock_gettime(CLOCK_BOOTTIME, &now);
            const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
            const double started = std::stod(field) / ticks;
            return static_cast<long>((now.tv_sec + now.tv_nsec / 1e9 - started) * 1000);
        }
    return -1;
}

// With VALDEX_TIEMPO_INICIO set, a line on standard error once the study
// named on the command line has been opened and shown (for timing and for
// the start-up test).
valdex::StudyOpenedHook StartUpTimingHook(valdex::MainWindow& mainForm) {
    const char* wanted = std::getenv("VALDEX_TIEMPO_INICIO");
    if (!wanted || !*wanted) return {};
    return [&mainForm](bool opened) {
        std::fprintf(stderr, "valdex: estudio abierto a los %ld ms\n",
                     MillisecondsSinceProcessStart());
        if (!opened) {
            std::fprintf(stderr, "valdex: el estudio no se abrió (%ld ms)\n",
                         MillisecondsSinceProcessStart());
            return;
        }
        // After the event loop has shown and painted the new window.
        QTimer::singleShot(0, &mainForm, [&mainForm] {
            const valdex::StudyWindow* study = mainForm.Finforma();
            std::fprintf(stderr, "valdex: ventana del estudio mostrada a los %ld ms: %s\n",
                         MillisecondsSinceProcessStart(),
                         study && study->isVisible() ? study->windowTitle().toUtf8().constData()
                                                     : "(no visible)");
        });
    };
}

// With VALDEX_TIEMPO_INICIO set, a line on standard error when the main
// window is first painted.
class FirstPaintTiming : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            std::fprintf(stderr, "valdex: ventana principal mostrada a los %ld ms\n",
                         MillisecondsSinceProcessStart());
            watched->removeEventFilter(this);
        }
        return false;
    }
};

} // namespace

int main(int argc, char* argv[]) {
    if (!HasDisplay()) return RunExampleThroughCli(argv[0]);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("valdex"));
    valdex::InstallSpanishTranslations(app);
    valdex::UseSpanishLocale();

    // QApplication has taken its own options out of argv.
    const std::optional<std::string> study =
        valdex::StudyArgument(std::vector<std::string>(argv, argv + argc));

    // The user's audit trail, checked at start and written by the study
    // commands; it outlives the main window.
    valdex::AuditRecorder recorder;
    valdex::MainWindow mainForm;
    mainForm.Rules().SetAuditRecorder(&recorder);
    valdex::InstallAuditMenu(mainForm, recorder, mainForm.Dialogs());

    valdex::SplashWindow splash;
    const valdex::AuditStartCheck auditCheck(
        recorder,
        [&mainForm, &splash](const QString& problem) {
            valdex::ShowAfterSplash(mainForm, splash, problem);
        },
        &mainForm);
    // The print options dialogs live, hidden, from start-up to exit.
    valdex::RecordPrinting(valdex::InstallPrintOptions(mainForm), mainForm, recorder);
    FirstPaintTiming firstPaint;
    if (const char* timing = std::getenv("VALDEX_TIEMPO_INICIO"); timing && *timing)
        mainForm.installEventFilter(&firstPaint);
    valdex::StartUp(mainForm, splash, study, StartUpTimingHook(mainForm));
    return app.exec();
}
