#include "files/study_file.h"

#include "base/app_error.h"
#include "base/number_conversion.h"
#include "files/cp1252.h"
#include "files/file_io.h"
#include "study/study_messages.h"

#include <algorithm>

namespace valdex {

namespace {

// A field as the window labels it ("Nombre del método", "Dato 7"); the text
// is only built for a message.
struct FieldName {
    const char* Label;
    int Number = 0;
    const char* Suffix = "";

    std::string Text() const {
        std::string text = Label;
        if (Number > 0) text += " " + std::to_string(Number);
        return text + Suffix;
    }
};

// Collects the file's bytes: each value in Windows-1252 followed by CR LF.
class LineWriter {
public:
    void Add(std::string_view text, const FieldName& field) {
        // A line break inside a value would shift every following line.
        if (std::any_of(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }))
            throw StudyError("El campo \"" + field.Text() +
                             "\" tiene un salto de línea, que no se puede guardar en el archivo.");
        const auto bytes = Utf8ToCp1252(text);
        if (!bytes)
            throw StudyError("El campo \"" + field.Text() +
                             "\" tiene un carácter que no se puede guardar en el archivo.");
        // One byte per character: the reader's limit on a line.
        if (bytes->size() > kMaxFileValueLength)
            throw StudyError("El campo \"" + field.Text() + "\" tiene más de " +
                             std::to_string(kMaxFileValueLength) +
                             " caracteres, que no se pueden guardar en el archivo.");
        bytes_ += *bytes;
        bytes_ += "\r\n";
    }

    // Room for the file at once: a large study is not copied as it grows.
    void Reserve(std::size_t size) { bytes_.reserve(size); }

    std::string Take() { return std::move(bytes_); }

private:
    std::string bytes_;
};

// N, the sum of the replicate counts of levels 1..n. Each count must be a
// whole number (ToInteger's conversion error otherwise) and not negative, and
// the sum must fit the reader's limit, so that the file can be read back.
int TotalResponses(const CalibrationStudy& study, int levelCount) {
    const std::vector<int> counts = ReplicateCounts(study, levelCount);
    for (int level = 1; level <= levelCount; ++level)
        if (counts[level - 1] < 0) throw StudyError(ReplicateNegative(level));
    const long long total = TotalReplicates(counts);
    if (total > kMaxFileResponses)
        throw StudyError("El número total de datos (" + std::to_string(total) +
                         ") supera el máximo de " + std::to_string(kMaxFileResponses) +
                         " que admite el archivo.");
    return static_cast<int>(total);
}

} // namespace

std::string SerializeStudy(const CalibrationStudy& study) {
    LineWriter out;
    // Every value with its CR LF; a character takes no more bytes in
    // Windows-1252 than in UTF-8, so this is never too little.
    std::size_t size = 2 * (8 + study.Levels.size() * 2 + study.Responses.size() * 2) +
                       study.MethodName.size() + study.AnalystName.size() + study.StudyDate.size() +
                       study.MeasuredProperty.size() + study.AddedQuantityUnits.size() +
                       study.CalculationType.size() + study.LevelCount.size() + 10;
    for (const StudyLevel& level : study.Levels)
        size += level.AddedQuantity.size() + level.ReplicateCount.size();
    for (const ResponseRow& row : study.Responses)
        size += row.Response.size() + row.SecondDataColumn.size();
    out.Reserve(size);
    out.Add(study.MethodName, {"Nombre del método"});
    out.Add(study.AnalystName, {"Nombre del Analista"});
    out.Add(study.StudyDate, {"Fecha"});
    out.Add(study.MeasuredProperty, {"Nombre de la propiedad medida"});
    out.Add(study.AddedQuantityUnits, {"Unidades de la cantidad adicionada"});
    out.Add(study.CalculationType, {"Curva de Calibración"});
    out.Add(study.LevelCount, {"Número de niveles de cantidad adicionada"});

    // The level check before saving allows 2 to 10; a count the reader would
    // refuse is never written.
    const int levelCount = ToInteger(study.LevelCount);
    if (levelCount < 1 || levelCount > kMaxFileLevels)
        throw StudyError("El número de niveles de cantidad adicionada está fuera de rango (1-" +
                         std::to_string(kMaxFileLevels) + ").");
    for (int level = 1; level <= levelCount; ++level) {
        out.Add(study.LevelCell(level, 1), {"Valor del nivel", level});
        out.Add(study.LevelCell(level, 2), {"Replicación del nivel", level});
    }

    const int responseCount = TotalResponses(study, levelCount);
    out.Add(std::to_string(responseCount), {"Número de datos"});
    for (int row = 1; row <= responseCount; ++row)
        out.Add(study.ResponseCell(1, row), {"Dato", row});
    for (int row = 1; row <= responseCount; ++row)
        out.Add(study.ResponseCell(2, row), {"Dato", row, " (segunda columna)"});
    return out.Take();
}

void WriteStudyFile(const CalibrationStudy& study, const std::string& path) {
    // Everything that can be refused is refused while the bytes are built in
    // memory, before the file system is touched.
    ReplaceFileContent(path, SerializeStudy(study));
}

} // namespace valdex
