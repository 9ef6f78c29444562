#include "measurement_table.h"

#include "base/app_error.h"
#include "base/number_conversion.h"

#include <algorithm>

namespace valdex::cli {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return std::string(text);
}

std::string LinePrefix(const std::string& fileName, int line) {
    return fileName + ", línea " + std::to_string(line) + ": ";
}

// The cells of one line. A quoted cell may hold the separator; its quotes go.
std::vector<std::string> SplitCells(std::string_view line, char column) {
    std::vector<std::string> cells;
    std::string cell;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c != '"')
                cell += c;
            else if (i + 1 < line.size() && line[i + 1] == '"')
                cell += '"', ++i;
            else
                quoted = false;
        } else if (c == '"' && Trim(cell).empty()) {
            cell.clear();
            quoted = true;
        } else if (c == column) {
            cells.push_back(Trim(cell));
            cell.clear();
        } else {
            cell += c;
        }
    }
    cells.push_back(Trim(cell));
    return cells;
}

char ColumnSeparator(std::string_view line) {
    if (line.find('\t') != std::string_view::npos) return '\t';
    if (line.find(';') != std::string_view::npos) return ';';
    return ',';
}

std::string SeparatorName(char column) {
    return column == '\t' ? "tabulador" : std::string("\"") + column + "\"";
}

// The decimal mark of a number's text: "," if it holds one, else ".".
char DecimalMark(const std::string& text) {
    return text.find(',') != std::string::npos ? ',' : '.';
}

bool IsNumber(const std::string& text) {
    return IsDecimal(text, DecimalMark(text));
}

long double NumberOf(const std::string& text) {
    return ToDecimal(text, DecimalMark(text));
}

// The number's text with the user's decimal separator.
std::string WithSeparator(std::string text, char decimalSeparator) {
    std::replace(text.begin(), text.end(), DecimalMark(text), decimalSeparator);
    return text;
}

} // namespace

std::vector<Measurement> ParseMeasurementTable(std::string_view bytes, const std::string& fileName,
                                               char decimalSeparator) {
    if (bytes.substr(0, kBom.size()) == kBom) bytes.remove_prefix(kBom.size());
    std::vector<Measurement> measurements;
    char column = 0; // set by the first line that is not blank
    bool first = true;
    int lineNumber = 0;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (Trim(line).empty()) continue;
        if (!column) column = ColumnSeparator(line);
        std::vector<std::string> cells = SplitCells(line, column);
        while (cells.size() > 2 && cells.back().empty())
            cells.pop_back();
        if (std::all_of(cells.begin(), cells.end(), [](const auto& c) { return c.empty(); }))
            continue;
        const std::string prefix = LinePrefix(fileName, lineNumber);
        if (cells.size() != 2)
            throw StudyError(prefix +
                             "se esperaban dos columnas (cantidad adicionada y respuesta) "
                             "separadas por " +
                             SeparatorName(column) + " y hay " + std::to_string(cells.size()) +
                             ".");
        const bool quantityIsNumber = IsNumber(cells[0]);
        const bool responseIsNumber = IsNumber(cells[1]);
        const bool header = first && !quantityIsNumber && !responseIsNumber;
        first = false;
        if (header) continue;
        if (!quantityIsNumber)
            throw StudyError(prefix + "la cantidad adicionada \"" + cells[0] +
                             "\" no es un número.");
        if (!responseIsNumber)
            throw StudyError(prefix + "la respuesta \"" + cells[1] + "\" no es un número.");
        measurements.push_back({WithSeparator(cells[0], decimalSeparator),
                                WithSeparator(cells[1], decimalSeparator), lineNumber});
    }
    return measurements;
}

CalibrationStudy StudyFromMeasurements(const std::vector<Measurement>& measurements,
                                       const StudyTexts& texts, const std::string& fileName) {
    struct Level {
        long double value;
        std::string text;
        std::vector<std::string> responses;
    };
    std::vector<Level> levels;
    for (const Measurement& m : measurements) {
        const long double value = NumberOf(m.Quantity);
        auto level = std::find_if(levels.begin(), levels.end(),
                                  [&](const Level& l) { return l.value == value; });
        if (level == levels.end()) {
            if (static_cast<int>(levels.size()) == kMaxFileLevels)
                throw StudyError(LinePrefix(fileName, m.Line) + "la cantidad " + m.Quantity +
                                 " sería el nivel " + std::to_string(kMaxFileLevels + 1) +
                                 "; un estudio admite como máximo " +
                                 std::to_string(kMaxFileLevels) + " niveles.");
            levels.push_back({value, m.Quantity, {}});
            level = levels.end() - 1;
        }
        level->responses.push_back(m.Response);
    }
    if (levels.empty()) throw StudyError(fileName + ": no hay mediciones.");
    if (levels.size() < 2)
        throw StudyError(fileName + ": todas las mediciones son de la cantidad " + levels[0].text +
                         "; un estudio necesita de 2 a " + std::to_string(kMaxFileLevels) +
                         " niveles.");
    if (measurements.size() > static_cast<std::size_t>(kMaxFileResponses))
        throw StudyError(fileName + ": hay " + std::to_string(measurements.size()) +
                         " mediciones; un estudio admite como máximo " +
                         std::to_string(kMaxFileResponses) + ".");

    CalibrationStudy study = CalibrationStudy::MakeNew();
    study.MethodName = texts.MethodName;
    study.AnalystName = texts.AnalystName;
    study.StudyDate = texts.StudyDate;
    study.MeasuredProperty = texts.MeasuredProperty;
    study.AddedQuantityUnits = texts.AddedQuantityUnits;
    study.CalculationType = texts.CalculationType;
    const int n = static_cast<int>(levels.size());
    study.LevelCount = std::to_string(n);
    study.SetLevelColumns(n);
    study.Responses.clear();
    for (int i = 0; i < n; ++i) {
        const Level& level = levels[i];
        study.Levels[i] = {LevelHeading(i + 1), level.text, std::to_string(level.responses.size())};
        for (std::size_t j = 0; j < level.responses.size(); ++j)
            study.Responses.push_back(
                {ResponseLabel(i + 1, static_cast<int>(j) + 1), level.responses[j], ""});
    }
    return study;
}

} // namespace valdex::cli
