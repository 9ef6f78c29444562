#pragma once
// Start-up of the desktop application: the main window maximized and active,
// the splash above it, and the study named on the command line opened once
// the splash has gone.

#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace valdex {

class MainWindow;
class SplashWindow;

// The study to open: the first argument after the program's name that is not
// an option (a file manager passes one path; further ones are ignored, as the
// application holds one study window). Made absolute, since the study
// window's caption is the file's full path; the bytes are kept as given.
std::optional<std::string> StudyArgument(const std::vector<std::string>& arguments);

// Called once the named study has been opened (true) or refused (false,
// after its error box).
using StudyOpenedHook = std::function<void(bool opened)>;

// Shows the main window and the splash, starts the splash's timer at each
// activation of the main window, and, when the splash's timer first fires,
// opens `study` as Abrir would open it.
void StartUp(MainWindow& mainForm, SplashWindow& splash, const std::optional<std::string>& study,
             StudyOpenedHook opened = {});

// The error box now, or once the splash has gone while it is up: a box
// under the splash would wait unseen, and hold the start-up with it.
void ShowAfterSplash(MainWindow& mainForm, SplashWindow& splash, const QString& text);

} // namespace valdex
