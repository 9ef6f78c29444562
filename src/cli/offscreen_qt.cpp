#include "offscreen_qt.h"

#ifdef VALDEX_CLI_PRINT

#include <QGuiApplication>
#include <QMessageLogContext>

#include <cstdlib>
#include <iostream>

namespace valdex::cli {

namespace {

void KeepQtErrorsOnly(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << '\n';
}

} // namespace

std::unique_ptr<QGuiApplication> StartOffscreenQt() {
    if (QGuiApplication::instance() != nullptr) return nullptr;
    // The application's arguments must outlive it.
    static int argc = 1;
    static char name[] = "valdex-cli";
    static char* argv[] = {name, nullptr};
    qInstallMessageHandler(KeepQtErrorsOnly);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace valdex::cli

#endif
