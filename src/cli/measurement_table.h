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

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace valdex::cli {

// The texts a study file holds besides its levels and responses.
struct StudyTexts {
    std::string MethodName;
    std::string AnalystName;
    std::string StudyDate;
    std::string MeasuredProperty;
    std::string AddedQuantityUnits;
    std::string CalculationType = kRegression;
};

// A line of a table holds two values of a study file, quoted, with the
// separator and some empty cells after them: a longer line is refused
// before it is held, so memory stays bounded whatever the file holds.
inline constexpr std::size_t kMaxTableLineBytes = 16384;

// The table taken line by line: each measurement goes to its level as its
// line is read, only the responses are kept, and the quantities once per
// level.
class MeasurementTable {
public:
    MeasurementTable(std::string fileName, char decimalSeparator);

    // One line (without its LF), 1-based. Throws StudyError naming the file
    // and the line of a cell that does not convert or a line that is not two
    // cells.
    void AddLine(std::string_view line, int number);

    // The study of the measurements. Throws StudyError naming the file (and
    // the line that would open an eleventh level) when they make no study of
    // 2 to 10 levels or more responses than a study file holds.
    CalibrationStudy TakeStudy(const StudyTexts& texts);

private:
    struct Level {
        long double value;
        std::string text;
        int responses = 0;
    };
    struct Response {
        int level;
        std::string text;
    };

    std::string fileName_;
    char decimalSeparator_;
    char column_ = 0; // set by the first line that is not blank
    bool first_ = true;
    std::vector<Level> levels_;
    std::vector<Response> responses_; // no more than a study file holds
    std::size_t measurementCount_ = 0;
    std::string eleventhLevel_; // the message for the first quantity past ten levels
};

// Reads the table file within its bounds (kMaxTableLineBytes a line, a
// file of as many measurements as a study may hold) and makes its study.
// Throws FileError for a file that cannot be read, StudyError for the rest;
// every message begins with the file's name.
CalibrationStudy ReadMeasurementTable(const std::string& path, const StudyTexts& texts,
                                      char decimalSeparator);

} // namespace valdex::cli
