#include "study_commands.h"

#include "base/app_error.h"
#include "calc/results_text.h"
#include "cli_messages.h"
#include "files/study_file.h"
#include "json_writer.h"
#include "ordered_batch.h"
#include "report/report_text.h"
#include "study/level_check.h"

#include <exception>
#include <new>
#include <optional>
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

// Runs the level-count check as the window's commands do: the check's
// message when it fails.
std::optional<std::string> LevelCheckFailure(const CalibrationStudy& study) {
    const LevelCheck check = CheckLevelCount(study);
    if (check.LevelCheckFailed) return check.message;
    return std::nullopt;
}

// One study of "calcular": true when its results were written. A failure is
// told on the error stream and, for JSON, as an object of its own, so that
// a script reading the objects sees every file.
bool CalculateOne(const std::string& file, const CalculateOptions& options, char sep, Streams io,
                  bool alone) {
    std::string failure;
    try {
        const CalibrationStudy study = LoadStudy(file, io.err, io.reads);
        if (const auto checkFailure = LevelCheckFailure(study)) {
            failure = *checkFailure;
        } else {
            CalibrationCalculator calculator(sep);
            CalibrationResult result;
            calculator.ComputeCalibration(study, result);
            if (options.json) {
                io.out << ToJson({file, study.CalculationType, study.AddedQuantityUnits,
                                  calculator.Sums().N, calculator.TCritical(), result},
                                 sep)
                       << '\n';
            } else {
                WriteLines(io.out, ResultsLines(result, study.CalculationType,
                                                study.AddedQuantityUnits, sep));
            }
            return true;
        }
    } catch (const std::bad_alloc& error) {
        if (!alone) throw;
        failure = FailureText(error);
    } catch (const std::exception& error) {
        failure = FailureText(error);
    }
    io.err << FileMessage(file, failure) << '\n';
    if (options.json) io.out << ToJsonError(file, failure) << '\n';
    return false;
}

} // namespace

int RunCalculate(const std::vector<std::string>& args, char sep, Streams io) {
    CalculateOptions options;
    if (!ParseCalculate(args, options)) {
        io.err << "Uso: valdex-cli calcular [--json] ARCHIVO.w8c...\n";
        return 2;
    }
    const bool headings = options.files.size() > 1 && !options.json;
    const bool allDone =
        RunInOrder(options.files.size(), io, [&](std::size_t index, Streams studyIo, bool alone) {
            const std::string& file = options.files[index];
            if (headings) studyIo.out << "==> " << file << " <==\n";
            return CalculateOne(file, options, sep, studyIo, alone);
        });
    io.out.flush();
    return allDone ? 0 : 1;
}

int RunReport(const std::vector<std::string>& args, char sep, Streams io) {
    if (args.size() != 1 || (args[0].size() > 1 && args[0][0] == '-')) {
        io.err << "Uso: valdex-cli informe ARCHIVO.w8c\n";
        return 2;
    }
    const std::string& file = args[0];
    try {
        const CalibrationStudy study = LoadStudy(file, io.err, io.reads);
        if (const auto checkFailure = LevelCheckFailure(study)) {
            io.err << FileMessage(file, *checkFailure) << '\n';
            return 1;
        }
        CalibrationCalculator calculator(sep);
        CalibrationResult result;
        const ReportText report = BuildReport(study, calculator, result);
        WriteLines(io.out, report.lines);
        io.out.flush();
        if (report.error.empty()) return 0;
        io.err << FileMessage(file, ErrorBoxText(report.error)) << '\n';
        return 1;
    } catch (const std::exception& error) {
        io.err << FileMessage(file, FailureText(error)) << '\n';
        return 1;
    }
}

} // namespace valdex::cli
