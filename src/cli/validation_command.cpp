#include "validation_command.h"

#include "base/app_error.h"
#include "base/number_conversion.h"
#include "cli_messages.h"
#include "diagnostics/diagnostics.h"
#include "validation/criteria.h"
#include "weighting_options.h"

#include <ctime>
#include <iostream>
#include <optional>

#ifdef VALDEX_CLI_PRINT
#include "files/file_identity.h"
#include "offscreen_qt.h"
#include "study/level_check.h"
#include "validation/laboratory_setting.h"
#include "validation/validation_pdf.h"

#include <QGuiApplication>
#endif

namespace valdex::cli {

namespace {

constexpr const char* kUsage =
    "Uso: valdex-cli validacion ESTUDIO.w8c --pdf INFORME.pdf [--criterios CRITERIOS]\n"
    "       [--ponderacion {ninguna,1/x,1/x2,1/y,1/y2,1/s2,funcion}] [--pesos W1,W2,...]\n"
    "       [--blancos BLANCOS.csv] [--alfa A --beta B --m M --k K] [--laboratorio TEXTO]\n"
    "       [--papel carta|a4]\n";

struct Options {
    std::string study, pdf, criteria = kIchQ2, laboratory;
    DiagnosticOptions diagnostics;
    bool a4 = false;
};

int Usage(const std::string& message) {
    if (!message.empty()) std::cerr << message << '\n';
    std::cerr << kUsage;
    return 2;
}

// 0 when the options are read; else the exit status of the usage error.
int Parse(const std::vector<std::string>& args, char sep, Options& o) {
    std::optional<std::string> study, pdf;
    bool weightGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool valued = arg == "--pdf" || arg == "--criterios" || arg == "--ponderacion" ||
                            arg == "--alfa" || arg == "--beta" || arg == "--m" || arg == "--k" ||
                            arg == "--laboratorio" || arg == "--papel" || arg == "--pesos" ||
                            arg == "--blancos";
        if (!valued) {
            if (arg.size() > 1 && arg[0] == '-') return Usage("Opción desconocida: " + arg);
            if (study) return Usage("Se indicó más de un estudio.");
            study = arg;
            continue;
        }
        if (i + 1 == args.size()) return Usage("Falta el valor de " + arg + ".");
        const std::string& value = args[++i];
        if (arg == "--pdf") {
            pdf = value;
        } else if (arg == "--criterios") {
            o.criteria = value;
        } else if (arg == "--ponderacion" || arg == "--pesos" || arg == "--blancos") {
            const std::string problem =
                ApplyWeightOption(arg, value, sep, o.diagnostics, weightGiven);
            if (!problem.empty()) return Usage(problem);
        } else if (arg == "--laboratorio") {
            o.laboratory = value;
        } else if (arg == "--papel") {
            if (value != "a4" && value != "carta")
                return Usage("El valor de --papel es «carta» o «a4»: " + value);
            o.a4 = value == "a4";
        } else if (arg == "--m") {
            if (!IsInteger(value)) return Usage("El valor de --m no es un número entero: " + value);
            o.diagnostics.m = ToInteger(value);
        } else {
            if (!IsDecimal(value, sep))
                return Usage("El valor de " + arg + " no es un número: " + value);
            const double number = static_cast<double>(ToDecimal(value, sep));
            (arg == "--alfa"   ? o.diagnostics.alpha
             : arg == "--beta" ? o.diagnostics.beta
                               : o.diagnostics.k) = number;
        }
    }
    if (!study || !pdf || pdf->empty()) return Usage("");
    const std::string problem = CheckOptions(o.diagnostics, sep);
    if (!problem.empty()) return Usage(problem);
    o.study = *study;
    o.pdf = *pdf;
    return 0;
}

#ifdef VALDEX_CLI_PRINT

int Write(const Options& o, char sep) {
    if (OutputIsTheStudy(o.study, o.pdf, std::cerr)) return 1;
    CriteriaSet criteria;
    try {
        criteria = LoadCriteria(o.criteria);
    } catch (const std::exception& error) {
        std::cerr << "valdex-cli: " << error.what() << '\n';
        return 1;
    }
    QByteArray pdf;
    try {
        const FileIdentity file = IdentifyFile(o.study);
        const CalibrationStudy study = LoadStudy(o.study, std::cerr);
        // The report states the bytes it read: a file changed meanwhile is
        // refused rather than named with the wrong digest.
        if (IdentifyFile(o.study).sha256 != file.sha256)
            throw StudyError("El archivo cambió mientras se leía.");
        const LevelCheck check = CheckLevelCount(study);
        if (check.LevelCheckFailed) throw StudyError(check.message);
        ValidationReportOptions options;
        // --laboratorio, else the name the application's report dialog keeps.
        options.laboratory = o.laboratory.empty() ? StoredLaboratoryName() : o.laboratory;
        if (options.laboratory.empty()) options.laboratory = kNoLaboratory;
        options.diagnostics = o.diagnostics;
        options.criteria = criteria;
        options.reportTime = IsoLocalTime(static_cast<std::int64_t>(std::time(nullptr)));
        options.decimalSeparator = sep;
        const ValidationReport report = MakeValidationReport(study, file, options);
        const std::unique_ptr<QGuiApplication> app = StartOffscreenQt();
        pdf = ValidationReportPdf(report, file, options.reportTime,
                                  o.a4 ? ReportPaper::A4 : ReportPaper::Letter);
    } catch (const std::exception& error) {
        std::cerr << FileMessage(o.study, FailureText(error)) << '\n';
        return 1;
    }
    return WriteOutput(o.pdf,
                       std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())),
                       std::cerr)
               ? 0
               : 1;
}

#endif

} // namespace

int RunValidationCommand(const std::vector<std::string>& args, char sep) {
    Options options;
    if (const int status = Parse(args, sep, options); status != 0) return status;
#ifdef VALDEX_CLI_PRINT
    return Write(options, sep);
#else
    std::cerr << "valdex-cli se compiló sin Qt: el subcomando validacion no está disponible.\n";
    return 1;
#endif
}

} // namespace valdex::cli
