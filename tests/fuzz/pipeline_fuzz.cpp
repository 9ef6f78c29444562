// Feeds arbitrary bytes through everything a study goes through: the
// reader, the level check, the calculation under both calculation types,
// the results and report texts and the two pages of both printed designs.
// Any step may refuse the study with an AppError; any other exception, a
// sanitizer report or a print job used out of order is a fault.

#include "base/app_error.h"
#include "calc/calibration.h"
#include "calc/results_text.h"
#include "files/study_file.h"
#include "null_canvas.h"
#include "report/deskjet_report.h"
#include "report/laser_report.h"
#include "report/report_text.h"
#include "study/level_check.h"

#include <cstddef>
#include <cstdint>
#include <memory>
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

    // ---- Diagnostics step ----------------------------------------------
    // When the diagnostics of a study exist, run them here on `study`,
    // inside Refusable, so that they meet every study the fuzzer builds.
    // ----------------------------------------------------------------------
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
