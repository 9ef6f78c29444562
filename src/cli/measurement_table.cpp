#include "measurement_table.h"

#include "base/app_error.h"
#include "base/number_conversion.h"
#include "files/file_io.h"
#include "files/study_file.h"

#include <algorithm>
#include <utility>

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

MeasurementTable::MeasurementTable(std::string fileName, char decimalSeparator)
    : fileName_(std::move(fileName)), decimalSeparator_(decimalSeparator) {}

void MeasurementTable::AddLine(std::string_view line, int number) {
    if (number == 1 && line.substr(0, kBom.size()) == kBom) line.remove_prefix(kBom.size());
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (Trim(line).empty()) return;
    if (!column_) column_ = ColumnSeparator(line);
    std::vector<std::string> cells = SplitCells(line, column_);
    while (cells.size() > 2 && cells.back().empty())
        cells.pop_back();
    if (std::all_of(cells.begin(), cells.end(), [](const auto& c) { return c.empty(); })) return;
    const std::string prefix = LinePrefix(fileName_, number);
    if (cells.size() != 2)
        throw StudyError(prefix +
                         "se esperaban dos columnas (cantidad adicionada y respuesta) "
                         "separadas por " +
                         SeparatorName(column_) + " y hay " + std::to_string(cells.size()) + ".");
    const bool quantityIsNumber = IsNumber(cells[0]);
    const bool responseIsNumber = IsNumber(cells[1]);
    const bool header = first_ && !quantityIsNumber && !responseIsNumber;
    first_ = false;
    if (header) return;
    if (!quantityIsNumber)
        throw StudyError(prefix + "la cantidad adicionada \"" + cells[0] + "\" no es un número.");
    if (!responseIsNumber)
        throw StudyError(prefix + "la respuesta \"" + cells[1] + "\" no es un número.");

    // A table that cannot become a study is still read to its end, so that
    // a cell further on that does not convert is the one reported.
    ++measurementCount_;
    if (!eleventhLevel_.empty()) return;
    const long double value = NumberOf(cells[0]);
    auto level = std::find_if(levels_.begin(), levels_.end(),
                              [&](const Level& l) { return l.value == value; });
    if (level == levels_.end()) {
        const std::string quantity = WithSeparator(cells[0], decimalSeparator_);
        if (static_cast<int>(levels_.size()) == kMaxFileLevels) {
            eleventhLevel_ = prefix + "la cantidad " + quantity + " sería el nivel " +
                             std::to_string(kMaxFileLevels + 1) +
                             "; un estudio admite como máximo " + std::to_string(kMaxFileLevels) +
                             " niveles.";
            return;
        }
        levels_.push_back({value, quantity});
        level = levels_.end() - 1;
    }
    if (measurementCount_ > static_cast<std::size_t>(kMaxFileResponses)) return;
    ++level->responses;
    responses_.push_back({static_cast<int>(level - levels_.begin()),
                          WithSeparator(std::move(cells[1]), decimalSeparator_)});
}

CalibrationStudy MeasurementTable::TakeStudy(const StudyTexts& texts) {
    if (!eleventhLevel_.empty()) throw StudyError(eleventhLevel_);
    if (levels_.empty()) throw StudyError(fileName_ + ": no hay mediciones.");
    if (levels_.size() < 2)
        throw StudyError(fileName_ + ": todas las mediciones son de la cantidad " +
                         levels_[0].text + "; un estudio necesita de 2 a " +
                         std::to_string(kMaxFileLevels) + " niveles.");
    if (measurementCount_ > static_cast<std::size_t>(kMaxFileResponses))
        throw StudyError(fileName_ + ": hay " + std::to_string(measurementCount_) +
                         " mediciones; un estudio admite como máximo " +
                         std::to_string(kMaxFileResponses) + ".");

    CalibrationStudy study = CalibrationStudy::MakeNew();
    study.MethodName = texts.MethodName;
    study.AnalystName = texts.AnalystName;
    study.StudyDate = texts.StudyDate;
    study.MeasuredProperty = texts.MeasuredProperty;
    study.AddedQuantityUnits = texts.AddedQuantityUnits;
    study.CalculationType = texts.CalculationType;
    const int n = static_cast<int>(levels_.size());
    study.LevelCount = std::to_string(n);
    study.SetLevelColumns(n);
    for (int i = 0; i < n; ++i)
        study.Levels[i] = {LevelHeading(i + 1), levels_[i].text,
                           std::to_string(levels_[i].responses)};
    // The responses of each level in the order of the table, moved, not
    // copied: level by level, a running place per level.
    std::vector<std::size_t> place(n, 0);
    for (int i = 1; i < n; ++i)
        place[i] = place[i - 1] + static_cast<std::size_t>(levels_[i - 1].responses);
    study.Responses.assign(responses_.size(), {});
    std::vector<int> replicate(n, 0);
    for (Response& response : responses_) {
        const int level = response.level;
        ResponseRow& row = study.Responses[place[level]++];
        row.ResponseLabel = ResponseLabel(level + 1, ++replicate[level]);
        row.Response = std::move(response.text);
    }
    responses_.clear();
    responses_.shrink_to_fit();
    return study;
}

CalibrationStudy ReadMeasurementTable(const std::string& path, const StudyTexts& texts,
                                      char decimalSeparator) {
    // A table of as many measurements as a study may hold, each line no
    // longer than two values of a study file.
    constexpr std::size_t kMaxTableBytes = (kMaxFileResponses + 1) * (2 * kMaxFileValueLength + 3);
    MeasurementTable table(path, decimalSeparator);
    LineReadEnd end;
    bool inLine = false; // the table's own messages already name the file
    try {
        end = ReadFileLines(path, kMaxTableBytes, kMaxTableLineBytes,
                            [&](std::string_view line, int number) {
                                inLine = true;
                                table.AddLine(line, number);
                                inLine = false;
                            });
    } catch (const FileError& error) {
        throw FileError(path + ": " + error.what());
    } catch (const StudyError& error) {
        if (inLine) throw;
        throw StudyError(path + ": " + error.what());
    }
    if (end.kind == LineReadEnd::kFileTooLarge)
        throw StudyError(path + ": El archivo es mayor que " + std::to_string(kMaxTableBytes) +
                         " bytes, más de lo que cabe en un estudio.");
    if (end.kind == LineReadEnd::kLineTooLong)
        throw StudyError(LinePrefix(path, end.line) + "la línea tiene más de " +
                         std::to_string(kMaxTableLineBytes) +
                         " caracteres, más de lo que ocupa una medición.");
    return table.TakeStudy(texts);
}

} // namespace valdex::cli
