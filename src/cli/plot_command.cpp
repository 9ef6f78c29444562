#include "plot_command.h"

#include "base/number_conversion.h"

#include <optional>
#include <ostream>

#ifdef VALDEX_CLI_PRINT
#include "base/app_error.h"
#include "diagnostics/diagnostics.h"
#include "files/study_file.h"
#include "offscreen_qt.h"
#include "plots/plot_export.h"
#include "study/level_check.h"

#include <QGuiApplication>
#include <QMessageLogContext>

#include <cstdlib>
#include <iostream>
#include <memory>
#endif

namespace valdex::cli {

namespace {

constexpr const char* kPlotUsage =
    "Uso: valdex-cli grafico ARCHIVO.w8c --pdf SALIDA.pdf | --svg SALIDA.svg | --png SALIDA.png "
    "[--ancho PX --alto PX]\n";

enum class Output { Pdf, Svg, Png };

struct PlotOptions {
    std::string file;
    Output output = Output::Pdf;
    std::string target;
    int width = 1000;
    int height = 900;
};

// Whole pixels within the bounds of the exported images.
constexpr int kLeastSide = 200;
constexpr int kMostSide = 10000;

class PlotParser {
public:
    explicit PlotParser(Streams io) : io_(io) {}

    std::optional<PlotOptions> Parse(const std::vector<std::string>& args) {
        PlotOptions options;
        std::optional<std::string> file, width, height;
        int outputs = 0;
        for (std::size_t i = 0; i < args.size(); ++i) {
            const std::string& arg = args[i];
            std::optional<std::string>* size = arg == "--ancho"  ? &width
                                               : arg == "--alto" ? &height
                                                                 : nullptr;
            std::optional<Output> output;
            if (arg == "--pdf") output = Output::Pdf;
            if (arg == "--svg") output = Output::Svg;
            if (arg == "--png") output = Output::Png;
            if (size != nullptr || output) {
                if (i + 1 == args.size()) return Fail("Falta el valor de " + arg + ".");
                const std::string& value = args[++i];
                if (output) {
                    if (++outputs > 1)
                        return Fail("Indique una sola salida: --pdf, --svg o --png.");
                    if (value.empty()) return Fail("Falta el nombre del archivo de " + arg + ".");
                    options.output = *output;
                    options.target = value;
                } else {
                    if (size->has_value()) return Fail(arg + " aparece más de una vez.");
                    *size = value;
                }
            } else if (arg.size() > 1 && arg[0] == '-') {
                return Fail("Opción desconocida: " + arg);
            } else {
                if (file) return Fail("Indique un solo archivo de estudio.");
                file = arg;
            }
        }
        if (!file) return Fail("Falta el archivo del estudio.");
        if (outputs == 0) return Fail("Falta la salida: --pdf, --svg o --png.");
        if ((width || height) && options.output == Output::Pdf)
            return Fail("--ancho y --alto valen solo para --svg y --png; el PDF es una página "
                        "carta, como la impresa.");
        options.file = *file;
        if (width && !Side("--ancho", *width, options.width)) return std::nullopt;
        if (height && !Side("--alto", *height, options.height)) return std::nullopt;
        return options;
    }

private:
    std::nullopt_t Fail(const std::string& message) {
        io_.err << message << '\n' << kPlotUsage;
        return std::nullopt;
    }

    bool Side(const std::string& option, const std::string& text, int& side) {
        if (!IsInteger(text) || ToInteger(text) < kLeastSide || ToInteger(text) > kMostSide) {
            Fail("El valor de " + option + " debe ser un número entero de píxeles de " +
                 std::to_string(kLeastSide) + " a " + std::to_string(kMostSide) + ": " + text);
            return false;
        }
        side = ToInteger(text);
        return true;
    }

    Streams io_;
};

#ifdef VALDEX_CLI_PRINT

static_assert(kLeastSide == kLeastPlotSide && kMostSide == kMostPlotSide);
static_assert(PlotOptions{}.width == kDefaultPlotWidth &&
              PlotOptions{}.height == kDefaultPlotHeight);

ExportFormat FormatOf(Output output) {
    switch (output) {
    case Output::Svg:
        return ExportFormat::Svg;
    case Output::Png:
        return ExportFormat::Png;
    case Output::Pdf:
        break;
    }
    return ExportFormat::Pdf;
}

int WritePlot(const PlotOptions& options, char sep, Streams io) {
    try {
        const CalibrationStudy study = ReadStudyFile(options.file);
        // The level check's message as the other subcommands give it; then
        // the reading of every number: a study that cannot be computed
        // writes nothing.
        const LevelCheck check = CheckLevelCount(study);
        if (check.LevelCheckFailed) {
            io.err << check.message << '\n';
            return 1;
        }
        const Diagnostics diagnostics = ComputeDiagnostics(study, DiagnosticOptions{}, sep);

        const std::unique_ptr<QGuiApplication> app = StartOffscreenQt();
        ExportDiagnostics(options.target, FormatOf(options.output), study, diagnostics, sep,
                          QSize(options.width, options.height));
        return 0;
    } catch (const AppError& error) {
        io.err << ErrorBoxText(error.what()) << '\n';
        return 1;
    }
}

#endif

} // namespace

int RunPlotCommand(const std::vector<std::string>& args, char sep, Streams io) {
    const std::optional<PlotOptions> options = PlotParser(io).Parse(args);
    if (!options) return 2;
#ifdef VALDEX_CLI_PRINT
    return WritePlot(*options, sep, io);
#else
    (void)sep;
    io.err << "valdex-cli se compiló sin Qt: el subcomando grafico no está disponible.\n";
    return 1;
#endif
}

} // namespace valdex::cli
