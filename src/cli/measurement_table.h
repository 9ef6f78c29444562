#pragma once
// A table of measurements (added quantity, response; one row per
// measurement) as a spreadsheet exports it, turned into a study.
//
// The rules:
// - Lines end in LF or CR LF; a UTF-8 byte-order mark is skipped; blank lines
//   and lines of empty cells are skipped.
// - The column separator is taken from the first line that is not blank: a
//   tab if it holds one, else ";" if it holds one, else ",". So a decimal
//   comma goes with columns separated by ";" or by tabs.
// - Each line has two cells; further cells must be empty. A cell may be
//   quoted ("..." with "" for a quote).
// - A number has an optional sign, digits with "," or "." as decimal mark
//   (never a thousands separator) and an optional exponent.
// - The first line is a header, and skipped, when neither of its cells is a
//   number.
// - Equal quantities (equal as numbers: 1, 1.0 and 1,0) form one level, the
//   levels in the order in which their quantity first appears, the responses
//   of each level in the order of the table. A level keeps the text of its
//   quantity's first appearance.
// - Texts are kept as written but for the decimal mark, which becomes the
//   user's decimal separator, so the study calculates where it was made.

#include "study/calibration_study.h"

#include <string>
#include <string_view>
#include <vector>

namespace valdex::cli {

struct Measurement {
    std::string Quantity;
    std::string Response;
    int Line = 0; // 1-based, for messages
};

// The texts a study file holds besides its levels and responses.
struct StudyTexts {
    std::string MethodName;
    std::string AnalystName;
    std::string StudyDate;
    std::string MeasuredProperty;
    std::string AddedQuantityUnits;
    std::string CalculationType = kRegression;
};

// The measurements of the table, in its order. Throws StudyError naming the
// file and the line of the first cell that does not convert or a line that
// is not two cells.
std::vector<Measurement> ParseMeasurementTable(std::string_view bytes, const std::string& fileName,
                                               char decimalSeparator);

// The study of the measurements. Throws StudyError naming the file (and the
// line that would open an eleventh level) when they make no study of 2 to 10
// levels or more responses than a study file holds.
CalibrationStudy StudyFromMeasurements(const std::vector<Measurement>& measurements,
                                       const StudyTexts& texts, const std::string& fileName);

} // namespace valdex::cli
