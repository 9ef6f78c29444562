#pragma once
// Qt for the subcommands that draw pages (imprimir, grafico): an application
// on the offscreen platform, which needs no display, whose own notes about
// its set-up stay off standard error (its errors do not).

#include <memory>

class QGuiApplication;

namespace valdex::cli {

// The application, unless one exists already (then null). Keep it for as
// long as anything is drawn.
std::unique_ptr<QGuiApplication> StartOffscreenQt();

} // namespace valdex::cli
