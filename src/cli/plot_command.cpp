#include "plot_command.h"

#include "base/number_conversion.h"
#include "cli_messages.h"
#include "diagnostics/diagnostics.h"
#include "weighting_options.h"

#include <optional>
#include <ostream>

#ifdef VALDEX_CLI_PRINT
#include "base/app_error.h"
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
    "[--ancho PX --alto PX] [--alfa A] [--beta B] [--m M] [--k K] "
    "[--ponderacion {ninguna,1/x,1/x2,1/y,1/y2,1/s2,funcion} | --pesos W1,W2,...] "
    "[--blancos BLANCOS.csv]\n";

enum class Output { Pdf, Svg, Png };

struct PlotOptions {
    std::string file;
    Output output = Output::Pdf;
    std::string target;
    int width = 1000;
    int height = 900;
    DiagnosticOptions diagnostics;
};

// Whole pixels within the bounds of the exported images: below 500 pixels
// the plots would lose their texts.
constexpr int kLeastSide = 500;
constexpr int kMostSide = 10000;

class PlotParser {
public:
    PlotParser(char sep, Streams io) : sep_(sep), io_(io) {}

    std::optional<PlotOptions> Parse(const std::vector<std::string>& args) {
        PlotOptions options;
        std::optional<std::string> file, width, height;
        int outputs = 0;
        bool weightsGiven = false;
        for (std::size_t i = 0; i < args.size(); ++i) {
            const std::string& arg = args[i];
            std::optional<std::string>* size = arg == "--ancho"  ? &width
                                               : arg == "--alto" ? &height
                                                                 : nullptr;
            if (arg == "--alfa" || arg == "--beta" || arg == "--m" || arg == "--k") {
                if (i + 1 == args.size()) return Fail("Falta el valor de " + arg + ".");
                if (!Diagnostic(arg, args[++i], options.diagnostics)) return std::nullopt;
                continue;
            }
            if (arg == "--ponderacion" || arg == "--pesos" || arg == "--blancos") {
                if (i + 1 == args.size()) return Fail("Falta el valor de " + arg + ".");
                if (!Weighting(arg, args[++i], options.diagnostics, weightsGiven))
                    return std::nullopt;
                continue;
            }
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
        const std::string problem = CheckOptions(options.diagnostics, sep_);
        if (!problem.empty()) return Fail(problem);
        return options;
    }

private:
    std::nullopt_t Fail(const std::string& message) {
        if (!message.empty()) io_.err << message << '\n';
        io_.err << kPlotUsage;
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

    // The weight of the line and the blanks, read as diagnostico reads them.
    bool Weighting(const std::string& option, const std::string& text, DiagnosticOptions& out,
                   bool& weightsGiven) {
        const std::string problem = ApplyWeightOption(option, text, sep_, out, weightsGiven);
        if (problem.empty()) return true;
        Fail(problem);
        return false;
    }

    // The options of the diagnostics, read as diagnostico reads them.
    bool Diagnostic(const std::string& option, const std::string& text, DiagnosticOptions& out) {
        const bool whole = option == "--m";
        if (whole ? !IsInteger(text) : !IsDecimal(text, sep_)) {
            Fail("El valor de " + option + " no es " + (whole ? "un número entero" : "un número") +
                 ": " + text);
            return false;
        }
        if (whole) {
            out.m = ToInteger(text);
            return true;
        }
        const double value = static_cast<double>(ToDecimal(text, sep_));
        (option == "--alfa" ? out.alpha : option == "--beta" ? out.beta : out.k) = value;
        return true;
    }

    char sep_;
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
    std::optional<CalibrationStudy> study;
    std::optional<Diagnostics> diagnostics;
    try {
        study = LoadStudy(options.file, io.err, io.reads);
        // The level check's message as the other subcommands give it; then
        // the reading of every number: a study that cannot be computed
        // writes nothing.
        const LevelCheck check = CheckLevelCount(*study);
        if (check.LevelCheckFailed) {
            io.err << FileMessage(options.file, check.message) << '\n';
            return 1;
        }
        diagnostics = ComputeDiagnostics(*study, options.diagnostics, sep);
    } catch (const std::exception& error) {
        io.err << FileMessage(options.file, FailureText(error)) << '\n';
        return 1;
    }
    try {
        const std::unique_ptr<QGuiApplication> app = StartOffscreenQt();
        ExportDiagnostics(options.target, FormatOf(options.output), *study, *diagnostics, sep,
                          QSize(options.width, options.height));
        return 0;
    } catch (const std::exception& error) {
        io.err << OutputMessage(options.target, FailureText(error)) << '\n';
        return 1;
    }
}

#endif

} // namespace

int RunPlotCommand(const std::vector<std::string>& args, char sep, Streams io) {
    const std::optional<PlotOptions> options = PlotParser(sep, io).Parse(args);
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
