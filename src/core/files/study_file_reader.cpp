#include "files/study_file.h"

#include "base/app_error.h"
#include "base/number_conversion.h"
#include "files/cp1252.h"
#include "files/file_io.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <optional>
#include <vector>

namespace valdex {

namespace {

// Hands out the lines of the file one after the other. A line ends at CR LF,
// or at a bare LF or CR; once the file has ended every line is empty. Each
// byte is looked at once, so reading stays linear in the file's length.
class LineReader {
public:
    LineReader(std::string_view bytes, const std::string& fileName)
        : rest_(bytes), fileName_(fileName) {}

    std::string Next() {
        ++number_;
        std::size_t end = 0;
        // A line too long is refused once its first byte past the limit is seen.
        while (end < rest_.size() && end <= kMaxFileValueLength && rest_[end] != '\r' &&
               rest_[end] != '\n')
            ++end;
        if (end > kMaxFileValueLength)
            throw StudyError("El archivo \"" + fileName_ + "\" tiene en la línea " +
                             std::to_string(number_) + " un texto de más de " +
                             std::to_string(kMaxFileValueLength) + " caracteres.");
        const std::string_view line = rest_.substr(0, end);
        if (end == rest_.size()) {
            rest_ = {};
        } else {
            const bool crlf =
                rest_[end] == '\r' && end + 1 < rest_.size() && rest_[end + 1] == '\n';
            rest_.remove_prefix(end + (crlf ? 2 : 1));
        }
        return Cp1252ToUtf8(line);
    }

    // Number of the line that Next returned last (1 for the first line).
    int LineNumber() const { return number_; }

private:
    std::string_view rest_;
    const std::string& fileName_;
    int number_ = 0;
};

[[noreturn]] void ThrowTooLarge(const std::string& fileName) {
    throw StudyError("El archivo \"" + fileName + "\" ocupa más de " +
                     std::to_string(kMaxStudyFileBytes) +
                     " bytes, más que cualquier archivo de estudio; no se lee.");
}

// A count line: ToInteger keeps its conversion error; a whole number out of
// range is refused with a message of its own.
int ToCount(const std::string& text, int line, int low, int high, const char* what,
            const std::string& fileName) {
    const int value = ToInteger(text);
    if (value < low || value > high)
        throw StudyError("El archivo \"" + fileName + "\" tiene un número de " + what +
                         " fuera de rango (" + std::to_string(low) + "-" + std::to_string(high) +
                         ") en la línea " + std::to_string(line) + ".");
    return value;
}

// Labels rows 1..N from the replicate counts; a label that would fall outside
// the rows is dropped, and a count that is not a whole number fails.
void LabelResponses(CalibrationStudy& study) {
    const long long rows = study.ResponseRows();
    const std::vector<int> counts = ReplicateCounts(study, study.LevelColumns());
    long long offset = 0;
    for (int level = 1; level <= study.LevelColumns(); ++level) {
        const int replicates = counts[level - 1];
        const long long first = std::max(1LL, 1 - offset);
        const long long last = std::min<long long>(replicates, rows - offset);
        for (long long j = first; j <= last; ++j)
            study.Responses[offset + j - 1].ResponseLabel =
                ResponseLabel(level, static_cast<int>(j));
        offset += replicates;
    }
}

} // namespace

CalibrationStudy ParseStudyFile(std::string_view bytes, const std::string& fileName) {
    if (bytes.size() > kMaxStudyFileBytes) ThrowTooLarge(fileName);
    // Every line is read and both counts are checked before the study is
    // built, so a refused file yields nothing.
    LineReader lines(bytes, fileName);
    std::array<std::string, 6> texts;
    for (auto& text : texts)
        text = lines.Next();
    const std::string levelCountText = lines.Next();
    const int levelCount =
        ToCount(levelCountText, lines.LineNumber(), 1, kMaxFileLevels, "niveles", fileName);
    std::vector<std::array<std::string, 2>> levels(levelCount);
    for (auto& level : levels) {
        level[0] = lines.Next();
        level[1] = lines.Next();
    }
    const std::string responseCountText = lines.Next();
    const int responseCount =
        ToCount(responseCountText, lines.LineNumber(), 0, kMaxFileResponses, "datos", fileName);
    std::vector<std::string> responses(responseCount);
    std::vector<std::string> second(responseCount);
    for (auto& response : responses)
        response = lines.Next();
    for (auto& text : second)
        text = lines.Next();

    CalibrationStudy study = CalibrationStudy::MakeNew();
    study.MethodName = std::move(texts[0]);
    study.AnalystName = std::move(texts[1]);
    study.StudyDate = std::move(texts[2]);
    study.MeasuredProperty = std::move(texts[3]);
    study.AddedQuantityUnits = std::move(texts[4]);
    study.CalculationType = std::move(texts[5]);
    study.LevelCount = levelCountText;
    study.SetLevelColumns(levelCount);
    for (int i = 0; i < levelCount; ++i) {
        StudyLevel& level = study.Levels[i];
        level.Heading = "     Nivel " + std::to_string(i + 1);
        level.AddedQuantity = std::move(levels[i][0]);
        level.ReplicateCount = std::move(levels[i][1]);
    }
    // The heading of the responses column stays as a new window has it.
    study.SetResponseRows(responseCount);
    for (int r = 0; r < responseCount; ++r) {
        study.Responses[r].Response = std::move(responses[r]);
        study.Responses[r].SecondDataColumn = std::move(second[r]);
    }
    LabelResponses(study);
    return study;
}

CalibrationStudy ReadStudyFile(const std::string& path, std::vector<FileRead>* reads) {
    const std::string fileName = std::filesystem::path(path).filename().string();
    bool namedLink = false;
    const std::optional<std::string> bytes = ReadFileBytes(path, kMaxStudyFileBytes, &namedLink);
    if (!bytes) ThrowTooLarge(fileName);
    if (reads != nullptr) reads->push_back(DescribeRead(path, *bytes, namedLink));
    return ParseStudyFile(*bytes, fileName);
}

std::optional<std::string> MisreadUtf8Text(const CalibrationStudy& study) {
    for (const std::string* text :
         {&study.MethodName, &study.AnalystName, &study.StudyDate, &study.MeasuredProperty,
          &study.AddedQuantityUnits, &study.CalculationType, &study.LevelCount})
        if (LooksLikeUtf8ReadAsCp1252(*text)) return *text;
    for (const StudyLevel& level : study.Levels)
        for (const std::string* text : {&level.AddedQuantity, &level.ReplicateCount})
            if (LooksLikeUtf8ReadAsCp1252(*text)) return *text;
    for (const ResponseRow& row : study.Responses)
        for (const std::string* text : {&row.Response, &row.SecondDataColumn})
            if (LooksLikeUtf8ReadAsCp1252(*text)) return *text;
    return std::nullopt;
}

} // namespace valdex
