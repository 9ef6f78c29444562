#include "study_commands.h"

#include "base/app_error.h"
#include "calc/results_text.h"
#include "files/study_file.h"
#include "json_writer.h"
#include "report/report_text.h"
#include "study/level_check.h"

#include <ostream>

namespace valdex::cli {

namespace {

struct CalculateOptions {
    bool json = false;
    std::vector<std::string> files;
};

bool ParseCalculate(const std::vector<std::string>& args, CalculateOptions& options) {
    for (const std::string& arg : args) {
        if (arg == "--json")
            options.json = true;
        else if (arg.size() > 1 && arg[0] == '-')
            return false;
        else
            options.files.push_back(arg);
    }
    return !options.files.empty();
}

void WriteLines(std::ostream& out, const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        out << line << '\n';
}

// Runs the level-count check as the window's commands do; a failure is
// reported on the error stream.
bool PassesLevelCheck(const CalibrationStudy& study, std::ostream& err) {
    const LevelCheck check = CheckLevelCount(study);
    if (check.LevelCheckFailed) err << check.message << '\n';
    return !check.LevelCheckFailed;
}

// One study of "calcular": true when its results were written.
bool CalculateOne(const std::string& file, const CalculateOptions& options, char sep, Streams io) {
    try {
        const CalibrationStudy study = ReadStudyFile(file);
        if (!PassesLevelCheck(study, io.err)) return false;
        CalibrationCalculator calculator(sep);
        CalibrationResult result;
        calculator.ComputeCalibration(study, result);
        if (options.json) {
            io.out << ToJson({file, study.CalculationType, study.AddedQuantityUnits,
                              calculator.Sums().N, calculator.TCritical(), result},
                             sep)
                   << '\n';
        } else {
            WriteLines(io.out,
                       ResultsLines(result, study.CalculationType, study.AddedQuantityUnits, sep));
        }
        return true;
    } catch (const AppError& error) {
        io.err << ErrorBoxText(error.what()) << '\n';
        return false;
    }
}

} // namespace

int RunCalculate(const std::vector<std::string>& args, char sep, Streams io) {
    CalculateOptions options;
    if (!ParseCalculate(args, options)) {
        io.err << "Uso: valdex-cli calcular [--json] ARCHIVO.w8c...\n";
        return 2;
    }
    const bool headings = options.files.size() > 1 && !options.json;
    bool allDone = true;
    for (const std::string& file : options.files) {
        if (headings) io.out << "==> " << file << " <==\n";
        allDone = CalculateOne(file, options, sep, io) && allDone;
    }
    io.out.flush();
    return allDone ? 0 : 1;
}

int RunReport(const std::vector<std::string>& args, char sep, Streams io) {
    if (args.size() != 1 || (args[0].size() > 1 && args[0][0] == '-')) {
        io.err << "Uso: valdex-cli informe ARCHIVO.w8c\n";
        return 2;
    }
    try {
        const CalibrationStudy study = ReadStudyFile(args[0]);
        if (!PassesLevelCheck(study, io.err)) return 1;
        CalibrationCalculator calculator(sep);
        CalibrationResult result;
        const ReportText report = BuildReport(study, calculator, result);
        WriteLines(io.out, report.lines);
        io.out.flush();
        if (report.error.empty()) return 0;
        io.err << ErrorBoxText(report.error) << '\n';
        return 1;
    } catch (const AppError& error) {
        io.err << ErrorBoxText(error.what()) << '\n';
        return 1;
    }
}

} // namespace valdex::cli
