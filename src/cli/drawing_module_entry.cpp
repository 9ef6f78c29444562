// The entry of valdex-cli-qt.so, the module of the subcommands that draw on Qt.

#include "drawing_module.h"
#include "plot_command.h"
#include "print_command.h"
#include "validation_command.h"

#include <type_traits>

extern "C" __attribute__((visibility("default"))) int
valdex_cli_run_drawing_command(const std::string& command, const std::vector<std::string>& args,
                               char sep, valdex::cli::Streams& io) {
    using namespace valdex::cli;
    if (command == "imprimir") return RunPrintCommand(args);
    if (command == "grafico") return RunPlotCommand(args, sep, io);
    if (command == "validacion") return RunValidationCommand(args, sep);
    return 2;
}

// The loader casts the symbol to this type.
static_assert(
    std::is_same_v<decltype(&valdex_cli_run_drawing_command), valdex::cli::DrawingCommandEntry>);
