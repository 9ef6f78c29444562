#pragma once
// What the print options dialogs and the command line need of a printed
// design: its two pages.

#include "report/page_canvas.h"
#include "study/calibration_study.h"

namespace valdex {

// The items of the options dialogs' "opcion" group, in order.
enum class ReportPage { General = 0, Results = 1 };

inline constexpr const char* kGeneralPageItem = "Información y Datos Generales";
inline constexpr const char* kResultsPageItem = "Límite de Detección y Cuantificación del Sistema";

class PrintedReport {
public:
    virtual ~PrintedReport() = default;

    // Page 1. A level or replicate count that is not a whole number aborts
    // the job, so no partial page comes out, and its ConversionError
    // propagates.
    virtual void PrintGeneralPage(PageCanvas& canvas, const CalibrationStudy& study) = 0;

    // Page 2: computes into the design's own result first; a failing
    // calculation throws before any job is begun.
    virtual void PrintResultsPage(PageCanvas& canvas, const CalibrationStudy& study) = 0;

    void PrintPage(ReportPage page, PageCanvas& canvas, const CalibrationStudy& study) {
        if (page == ReportPage::General)
            PrintGeneralPage(canvas, study);
        else
            PrintResultsPage(canvas, study);
    }
};

} // namespace valdex
