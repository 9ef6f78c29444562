#include "startup.h"

#include "app/dialog_service.h"
#include "app/main_window.h"
#include "app/splash_window.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <filesystem>

namespace valdex {

std::optional<std::string> StudyArgument(const std::vector<std::string>& arguments) {
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.empty() || argument.front() == '-') continue;
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(argument, error);
        return error ? argument : absolute.lexically_normal().string();
    }
    return std::nullopt;
}

void StartUp(MainWindow& mainForm, SplashWindow& splash, const std::optional<std::string>& study,
             StudyOpenedHook opened) {
    QObject::connect(&mainForm, &MainWindow::activated, &splash, &SplashWindow::StartTimer);
    if (study) {
        // The splash's own handler, connected when it was made, has closed it
        // by the time this runs. Later activations fire the timer again; the
        // study is opened only once.
        QObject::connect(
            &splash.Timer1(), &QTimer::timeout, &mainForm,
            [&mainForm, path = *study, opened] {
                const bool done = mainForm.Rules().OpenNamedStudy(path);
                if (opened) opened(done);
            },
            Qt::SingleShotConnection);
    }
    // Maximized and active also without a window manager, the splash above.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        mainForm.setGeometry(screen->availableGeometry());
    mainForm.showMaximized();
    mainForm.activateWindow();
    splash.show();
    splash.raise();
}

void ShowAfterSplash(MainWindow& mainForm, SplashWindow& splash, const QString& text) {
    if (!splash.isVisible()) {
        mainForm.Dialogs().ShowError(text);
        return;
    }
    QObject::connect(
        &splash.Timer1(), &QTimer::timeout, &mainForm,
        [&mainForm, text] { mainForm.Dialogs().ShowError(text); }, Qt::SingleShotConnection);
}

} // namespace valdex
