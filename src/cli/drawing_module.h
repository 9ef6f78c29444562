#pragma once
// The subcommands that draw pages on Qt (imprimir, grafico, validacion) live
// in a module of their own, valdex-cli-qt.so, loaded only when one of them
// runs: the other subcommands start without loading Qt, which took most of
// the start-up of every call.

#include "study_commands.h"

#include <string>
#include <vector>

namespace valdex::cli {

inline constexpr const char* kDrawingModuleEntry = "valdex_cli_run_drawing_command";

// The module's entry: the subcommand's exit status; 2 for a command it does
// not know.
using DrawingCommandEntry = int (*)(const std::string& command,
                                    const std::vector<std::string>& args, char decimalSeparator,
                                    Streams& io);

inline bool IsDrawingCommand(const std::string& command) {
    return command == "imprimir" || command == "grafico" || command == "validacion";
}

// Loads the module beside the program (or where it is installed) and runs
// the subcommand there; a module that cannot be loaded is told on the error
// stream, status 1.
int RunDrawingCommand(const std::string& command, const std::vector<std::string>& args,
                      char decimalSeparator, Streams io);

} // namespace valdex::cli
