#include "diagnostics_commands.h"

#include "base/app_error.h"
#include "base/number_conversion.h"
#include "cli_messages.h"
#include "diagnostics/diagnostics.h"
#include "diagnostics/diagnostics_text.h"
#include "diagnostics/sample_reading.h"
#include "diagnostics/weighting.h"
#include "diagnostics/weighting_text.h"
#include "diagnostics_json.h"
#include "files/study_file.h"
#include "study/level_check.h"
#include "weighting_options.h"

#include <cmath>
#include <optional>
#include <ostream>

namespace valdex::cli {

namespace {

constexpr const char* kDiagnosticsUsage =
    "Uso: valdex-cli diagnostico ARCHIVO.w8c... [--alfa A] [--beta B] [--m M] [--k K] [--json]\n"
    "       [--ponderacion {ninguna,1/x,1/x2,1/y,1/y2,1/s2,funcion}] [--pesos W1,W2,...]\n"
    "       [--blancos BLANCOS.csv]\n";
constexpr const char* kInterpolateUsage =
    "Uso: valdex-cli interpolar ARCHIVO.w8c Y1 [Y2 ...] [--alfa A] [--json]\n"
    "       [--ponderacion {ninguna,1/x,1/x2,1/y,1/y2,1/s2,funcion}] [--pesos W1,W2,...]\n"
    "       [--peso-muestra W0]\n";

struct Arguments {
    bool json = false;
    DiagnosticOptions options;
    double sampleAlpha = kSampleAlpha;
    std::vector<std::string> positional;
    std::optional<double> sampleWeight; // --peso-muestra
    bool weightsGiven = false;          // --ponderacion or --pesos
};

// Reads the arguments; on a usage error writes its message and the usage and
// returns false. Option values take the user's decimal separator; a negative
// number is a value, not an option.
class Parser {
public:
    Parser(char sep, const char* usage, Streams io) : sep_(sep), usage_(usage), io_(io) {}

    bool Parse(const std::vector<std::string>& args, bool limitOptions, Arguments& out) {
        for (std::size_t i = 0; i < args.size(); ++i) {
            const std::string& arg = args[i];
            if (arg == "--json") {
                out.json = true;
                continue;
            }
            if (IsWeightOption(arg, limitOptions)) {
                if (i + 1 == args.size()) return Fail("Falta el valor de " + arg + ".");
                if (!WeightOption(arg, args[++i], out)) return false;
                continue;
            }
            const bool takesValue =
                arg == "--alfa" ||
                (limitOptions && (arg == "--beta" || arg == "--m" || arg == "--k"));
            if (takesValue) {
                if (i + 1 == args.size()) return Fail("Falta el valor de " + arg + ".");
                if (!Value(arg, args[++i], out)) return false;
                continue;
            }
            if (arg.size() > 1 && arg[0] == '-' && !IsDecimal(arg, sep_))
                return Fail("Opción desconocida: " + arg);
            out.positional.push_back(arg);
        }
        // Out of range: the message names the option. The sample's interval
        // takes only alfa.
        DiagnosticOptions checked;
        if (limitOptions)
            checked = out.options;
        else
            checked.alpha = out.sampleAlpha;
        const std::string problem = CheckOptions(checked, sep_);
        return problem.empty() || Fail(problem);
    }

    bool Fail(const std::string& message) const {
        if (!message.empty()) io_.err << message << '\n';
        io_.err << usage_;
        return false;
    }

private:
    static bool IsWeightOption(const std::string& arg, bool diagnostics) {
        return arg == "--ponderacion" || arg == "--pesos" ||
               (diagnostics ? arg == "--blancos" : arg == "--peso-muestra");
    }

    bool WeightOption(const std::string& option, const std::string& text, Arguments& out) const {
        if (option != "--peso-muestra") {
            const std::string problem =
                ApplyWeightOption(option, text, sep_, out.options, out.weightsGiven);
            return problem.empty() || Fail(problem);
        }
        double value = 0;
        if (!IsDecimal(text, sep_) || !((value = static_cast<double>(ToDecimal(text, sep_))) > 0) ||
            !std::isfinite(value))
            return Fail("El valor de --peso-muestra no es un número finito y positivo: " + text);
        out.sampleWeight = value;
        return true;
    }

    bool Value(const std::string& option, const std::string& text, Arguments& out) const {
        const bool whole = option == "--m";
        if (whole ? !IsInteger(text) : !IsDecimal(text, sep_))
            return Fail("El valor de " + option + " no es " +
                        (whole ? "un número entero" : "un número") + ": " + text);
        if (whole) {
            out.options.m = ToInteger(text);
            return true;
        }
        const double value = static_cast<double>(ToDecimal(text, sep_));
        if (option == "--alfa")
            out.options.alpha = out.sampleAlpha = value;
        else if (option == "--beta")
            out.options.beta = value;
        else
            out.options.k = value;
        return true;
    }

    char sep_;
    const char* usage_;
    Streams io_;
};

// A failed study: its message on standard error and, in JSON, an object.
void ReportFailure(const std::string& file, const std::string& message, bool json, Streams io) {
    io.err << FileMessage(file, message) << '\n';
    if (json) io.out << ErrorJson(file, message).str() << '\n';
}

// The study file, checked as the window's commands check it; an empty
// optional after its message has been reported.
std::optional<CalibrationStudy> ReadChecked(const std::string& file, bool json, Streams io) {
    try {
        CalibrationStudy study = LoadStudy(file, io.err, io.reads);
        const LevelCheck check = CheckLevelCount(study);
        if (!check.LevelCheckFailed) return study;
        ReportFailure(file, check.message, json, io);
    } catch (const std::exception& error) {
        ReportFailure(file, FailureText(error), json, io);
    }
    return std::nullopt;
}

bool DiagnoseOne(const std::string& file, const Arguments& args, char sep, Streams io) {
    const std::optional<CalibrationStudy> study = ReadChecked(file, args.json, io);
    if (!study) return false;
    try {
        const Diagnostics d = ComputeDiagnostics(*study, args.options, sep);
        if (args.json) {
            io.out << DiagnosticsJson(file, d).str() << '\n';
        } else {
            for (const std::string& line : DiagnosticsLines(d, sep))
                io.out << line << '\n';
        }
        return true;
    } catch (const std::exception& error) {
        ReportFailure(file, FailureText(error), args.json, io);
        return false;
    }
}

} // namespace

int RunDiagnostics(const std::vector<std::string>& argv, char sep, Streams io) {
    Parser parser(sep, kDiagnosticsUsage, io);
    Arguments args;
    if (!parser.Parse(argv, true, args)) return 2;
    if (args.positional.empty()) return parser.Fail(""), 2;
    const bool headings = args.positional.size() > 1 && !args.json;
    bool allDone = true;
    for (const std::string& file : args.positional) {
        if (headings) io.out << "==> " << file << " <==\n";
        allDone = DiagnoseOne(file, args, sep, io) && allDone;
    }
    io.out.flush();
    return allDone ? 0 : 1;
}

int RunInterpolate(const std::vector<std::string>& argv, char sep, Streams io) {
    Parser parser(sep, kInterpolateUsage, io);
    Arguments args;
    if (!parser.Parse(argv, false, args)) return 2;
    if (args.positional.size() < 2) return parser.Fail(""), 2;
    const std::string& file = args.positional.front();
    std::vector<double> responses;
    for (std::size_t i = 1; i < args.positional.size(); ++i) {
        const std::string& text = args.positional[i];
        if (!IsDecimal(text, sep))
            return parser.Fail("La respuesta de la muestra no es un número: " + text), 2;
        responses.push_back(static_cast<double>(ToDecimal(text, sep)));
    }
    const std::optional<CalibrationStudy> study = ReadChecked(file, args.json, io);
    if (!study) return 1;
    try {
        const WeightScheme scheme = args.options.weighting;
        const SampleReading reading =
            scheme == WeightScheme::None
                ? ReadSample(*study, responses, args.sampleAlpha, sep)
                : ReadWeightedSample(*study, scheme, args.options.levelWeights, responses,
                                     args.sampleAlpha, args.sampleWeight, sep);
        if (args.json) {
            JsonObject o = SampleJson(file, reading, sep);
            o.Text("ponderacion", WeightName(scheme));
            if (args.sampleWeight) o.Number("peso_muestra", *args.sampleWeight);
            io.out << o.str() << '\n';
        } else {
            std::vector<std::string> lines = SampleLines(reading, sep);
            if (scheme != WeightScheme::None) {
                lines.pop_back(); // the ordinary line's formula; the weighted one follows
                for (std::string& line : WeightedSampleLines(scheme, sep))
                    lines.push_back(std::move(line));
            }
            for (const std::string& line : lines)
                io.out << line << '\n';
        }
        io.out.flush();
        return 0;
    } catch (const std::exception& error) {
        ReportFailure(file, FailureText(error), args.json, io);
        return 1;
    }
}

} // namespace valdex::cli
