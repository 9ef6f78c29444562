#pragma once
// One calibration study, held exactly as typed or loaded: every value is a
// text, converted when it is used. The number of levels typed (LevelCount)
// and the number of level columns laid out (Levels.size(), called L) are
// separate values that only "Aceptar niveles" and loading a file bring
// together.

#include <string>
#include <string_view>
#include <vector>

namespace valdex {

inline constexpr const char* kValueCaption = "Valor >>";

// The two calculation types the system knows, compared exactly.
inline constexpr const char* kRegression = "Regresión";
inline constexpr const char* kInterceptMethod = "Ordenada al Origen";

// The most responses a study may hold (window and file alike); far above any
// real study.
inline constexpr int kMaxFileResponses = 100000;
// The most levels a study file may hold, as the window allows.
inline constexpr int kMaxFileLevels = 10;

// True for exactly "Regresión" and "Ordenada al Origen".
inline bool IsKnownCalculationType(std::string_view type) {
    return type == kRegression || type == kInterceptMethod;
}
inline constexpr const char* kReplicationCaption = "Replicación >>";

// One column of the levels grid.
struct StudyLevel {
    std::string Heading;        // row 0: "Nivel 1" ("     Nivel 1" once loaded from a file)
    std::string AddedQuantity;  // row 1
    std::string ReplicateCount; // row 2
};

// One data row of the responses grid.
struct ResponseRow {
    std::string ResponseLabel;    // column 0: "Nivel 2 , Replica 3"
    std::string Response;         // column 1
    std::string SecondDataColumn; // column 2: kept from the file, never shown
};

struct CalibrationStudy {
    std::string MethodName;
    std::string AnalystName;
    std::string StudyDate;
    std::string MeasuredProperty;
    std::string AddedQuantityUnits;
    std::string CalculationType;
    std::string LevelCount = "3";
    std::vector<StudyLevel> Levels;
    std::string ResponsesHeading; // row 0, column 1 of the responses grid
    std::vector<ResponseRow> Responses;

    // A study as a new window holds it: LevelCount "3", three empty level
    // columns headed "Nivel 1" to "Nivel 3", nine empty unlabelled rows.
    static CalibrationStudy MakeNew();

    int LevelColumns() const { return static_cast<int>(Levels.size()); }
    int ResponseRows() const { return static_cast<int>(Responses.size()); }

    // Resize keeping the cells that remain.
    void SetLevelColumns(int count);
    void SetResponseRows(int count);

    // Grid-style reads. Column 0 of the levels grid holds the row captions,
    // row 0 the headings; cells outside the grid read as empty text.
    std::string LevelCell(int column, int row) const;
    // Responses grid: column 0 labels, column 1 responses, column 2 the
    // second data column; row 0 is the heading row.
    std::string ResponseCell(int column, int row) const;
};

// "Nivel " + level + " , " + "Replica " + replicate.
std::string ResponseLabel(int level, int replicate);

// "Nivel " + level, as the window writes the level headings.
std::string LevelHeading(int level);

// The replicate counts of levels 1..levels (cells beyond the grid read as
// empty), each converted as a whole number: a count that is not one throws
// ConversionError. Negative counts come back as they are; each caller
// refuses them in its own way (see ReplicateNegative).
std::vector<int> ReplicateCounts(const CalibrationStudy& study, int levels);

// The sum of `counts`, widened so that no sum of int counts overflows.
long long TotalReplicates(const std::vector<int>& counts);

} // namespace valdex
