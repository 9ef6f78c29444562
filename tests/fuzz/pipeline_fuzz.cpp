// Feeds arbitrary bytes through everything a study goes through: the
// reader, the level check, the calculation under both calculation types,
// the results and report texts, the two pages of both printed designs and
// the diagnostics with their printed page of plots.
// Any step may refuse the study with an AppError; any other exception, a
// sanitizer report or a print job used out of order is a fault.

#include "base/app_error.h"
#include "calc/calibration.h"
#include "calc/results_text.h"
#include "diagnostics/diagnostics.h"
#include "diagnostics/diagnostics_text.h"
#include "files/study_file.h"
#include "null_canvas.h"
#include "plots/diagnostics_page.h"
#include "report/deskjet_report.h"
#include "report/laser_report.h"
#include "report/report_text.h"
#include "study/level_check.h"

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <string_view>

namespace {

using namespace valdex;

template <class Step> void Refusable(Step&& step) {
    try {
        step();
    } catch (const AppError&) {
    }
}

void PrintBothDesigns(const CalibrationStudy& study) {
    std::unique_ptr<PrintedReport> designs[] = {std::make_unique<LaserReport>('.'),
                                                std::make_unique<DeskjetReport>('.')};
    for (const auto& design : designs) {
        for (const ReportPage page : {ReportPage::General, ReportPage::Results}) {
            fuzz::NullCanvas canvas;
            try {
                design->PrintPage(page, canvas, study);
            } catch (const AppError&) {
                canvas.CheckRefused();
                continue;
            }
            canvas.CheckPrinted();
        }
    }
}

// The lower-case words of a text, letters only.
std::set<std::string> Words(const std::string& text) {
    std::set<std::string> words;
    std::string word;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : ' ';
        if (std::isalpha(static_cast<unsigned char>(c))) {
            word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            continue;
        }
        if (!word.empty()) words.insert(word);
        word.clear();
    }
    return words;
}

// Every diagnostic runs or says why; no number of them is ever a NaN or an
// infinity. The study's own texts (its units, its property) are quoted in
// the lines and may hold those words; there they are not numbers.
bool HasNonFiniteWord(const std::string& line, const std::set<std::string>& studyWords) {
    for (const std::string& word : Words(line))
        if ((word == "nan" || word == "inf" || word == "infinity") && !studyWords.contains(word))
            return true;
    return false;
}

std::set<std::string> StudyWords(const CalibrationStudy& study) {
    std::set<std::string> words;
    for (const std::string* text :
         {&study.MethodName, &study.AnalystName, &study.StudyDate, &study.MeasuredProperty,
          &study.AddedQuantityUnits, &study.ResponsesHeading})
        words.merge(Words(*text));
    return words;
}

void RunDiagnostics(const CalibrationStudy& study) {
    Refusable([&] {
        const Diagnostics diagnostics = ComputeDiagnostics(study, DiagnosticOptions{}, '.');
        const std::set<std::string> studyWords = StudyWords(study);
        for (const std::string& line : DiagnosticsLines(diagnostics, '.'))
            if (HasNonFiniteWord(line, studyWords)) std::abort();
        // The printed page with both plots.
        fuzz::NullCanvas canvas;
        try {
            PrintDiagnosticsPage(canvas, study, diagnostics, '.');
        } catch (const AppError&) {
            canvas.CheckRefused();
            return;
        }
        canvas.CheckPrinted();
    });
}

void RunPipeline(const CalibrationStudy& study) {
    Refusable([&] { CheckLevelCount(study); });
    CalibrationCalculator calculator('.');
    CalibrationResult result;
    Refusable([&] {
        calculator.ComputeCalibration(study, result);
        ResultsLines(result, study.CalculationType, study.AddedQuantityUnits, '.');
    });
    // The report catches its own faults and keeps the lines written so far.
    BuildReport(study, calculator, result);
    PrintBothDesigns(study);

    RunDiagnostics(study);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CalibrationStudy study;
    try {
        study = ParseStudyFile(bytes, "fuzz.w8c");
    } catch (const AppError&) {
        return 0;
    }
    // The file's own calculation type, then each of the two.
    RunPipeline(study);
    for (const char* type : {kRegression, kInterceptMethod}) {
        if (study.CalculationType == type) continue;
        study.CalculationType = type;
        RunPipeline(study);
    }
    return 0;
}
