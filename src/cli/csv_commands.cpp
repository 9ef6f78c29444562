#include "csv_commands.h"

#include "base/app_error.h"
#include "calc/calibration.h"
#include "calc/format_general.h"
#include "calc/result_fields.h"
#include "files/study_file.h"
#include "ordered_batch.h"
#include "study/level_check.h"

#include <algorithm>
#include <ostream>

namespace valdex::cli {

namespace {

constexpr const char* kUsage = "Uso: valdex-cli calcular --csv ARCHIVO.w8c...\n";

// The row of one study: the results, or the message that stopped it.
std::vector<std::string> StudyRow(const std::string& file, char sep, std::string& error,
                                  std::vector<FileRead>* reads) {
    std::vector<std::string> row{file};
    try {
        const CalibrationStudy study = ReadStudyFile(file, reads);
        const LevelCheck check = CheckLevelCount(study);
        if (check.LevelCheckFailed) {
            error = check.message;
        } else {
            CalibrationCalculator calculator(sep);
            CalibrationResult result;
            calculator.ComputeCalibration(study, result);
            row.push_back(study.CalculationType);
            row.push_back(study.AddedQuantityUnits);
            row.push_back(std::to_string(calculator.Sums().N));
            // t has four decimals; six significant digits write it whole.
            row.push_back(FormatGeneral(calculator.TCritical(), kPrecision6, sep));
            for (const ResultField& field : kResultFields)
                row.push_back(FormatResult(result, field.Value, sep));
        }
    } catch (const AppError& failure) {
        error = ErrorBoxText(failure.what());
    }
    if (!error.empty()) row.resize(1); // nothing but the file beside the message
    return row;
}

void WriteRow(std::ostream& out, std::vector<std::string> row, std::size_t columns, char column) {
    row.resize(columns);
    for (std::size_t i = 0; i < row.size(); ++i)
        out << (i ? std::string(1, column) : "") << CsvField(row[i], column);
    out << '\n';
}

} // namespace

bool WantsCsv(const std::vector<std::string>& args) {
    return std::find(args.begin(), args.end(), "--csv") != args.end();
}

std::string CsvField(const std::string& text, char column) {
    if (text.find_first_of(std::string{column, '"', '\n', '\r'}) == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

int RunCalculateCsv(const std::vector<std::string>& args, char sep, Streams io) {
    std::vector<std::string> files;
    for (const std::string& arg : args) {
        if (arg == "--csv") continue;
        if (arg.size() > 1 && arg[0] == '-') {
            io.err << kUsage;
            return 2;
        }
        files.push_back(arg);
    }
    if (files.empty()) {
        io.err << kUsage;
        return 2;
    }
    const char column = sep == ',' ? ';' : ',';
    std::vector<std::string> header{"archivo", "tipo", "unidades", "N", "t"};
    for (const ResultField& field : kResultFields)
        header.push_back(field.Name);
    header.push_back("error");
    WriteRow(io.out, header, header.size(), column);

    // A study's lack of memory ends the command, alone or not.
    const bool allDone =
        RunInOrder(files.size(), io, [&](std::size_t index, Streams studyIo, bool) {
            const std::string& file = files[index];
            std::string error;
            std::vector<std::string> row = StudyRow(file, sep, error, studyIo.reads);
            row.resize(header.size() - 1);
            row.push_back(error);
            WriteRow(studyIo.out, row, header.size(), column);
            if (error.empty()) return true;
            studyIo.err << file << ": " << error << '\n';
            return false;
        });
    io.out.flush();
    return allDone ? 0 : 1;
}

} // namespace valdex::cli
