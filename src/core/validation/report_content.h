#pragma once
// The validation report of one study file: its sections (identification,
// data, regression, linearity, variances and normality, limits, evaluation,
// sign-off) from the study's results, diagnostics and a criteria set.

#include "diagnostics/diagnostics.h"
#include "files/file_identity.h"
#include "validation/criteria.h"
#include "validation/evaluation.h"
#include "validation/report_document.h"

#include <string>

namespace valdex {

struct ValidationReportOptions {
    std::string laboratory;
    DiagnosticOptions diagnostics; // with the weight chosen, if any
    CriteriaSet criteria;
    std::string reportTime; // ISO 8601 with the UTC offset
    char decimalSeparator = '.';
};

// "VALDEX v.w. 3.1", and the version and build it was made from.
std::string ProgramVersionText();
std::string ProgramBuildText();

struct ValidationReport {
    ValidationData data;
    Evaluation evaluation;
    ReportDocument document;
};

// The study as read from the identified file. Throws AppError when the
// study cannot be read at all.
ValidationReport MakeValidationReport(const CalibrationStudy& study, const FileIdentity& file,
                                      const ValidationReportOptions& options);

// The XMP packet that names the study (see signoff_block.h) and the
// report's title.
std::string ValidationReportXmp(const FileIdentity& file, const std::string& reportTime);

} // namespace valdex
