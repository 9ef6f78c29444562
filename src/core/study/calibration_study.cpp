#include "study/calibration_study.h"

#include "base/number_conversion.h"

#include <algorithm>
#include <numeric>

namespace valdex {

std::string LevelHeading(int level) {
    return "Nivel " + std::to_string(level);
}

std::string ResponseLabel(int level, int replicate) {
    return "Nivel " + std::to_string(level) + " , Replica " + std::to_string(replicate);
}

std::vector<int> ReplicateCounts(const CalibrationStudy& study, int levels) {
    std::vector<int> counts;
    counts.reserve(static_cast<std::size_t>(std::max(levels, 0)));
    for (int level = 1; level <= levels; ++level)
        counts.push_back(ToInteger(study.LevelCell(level, 2)));
    return counts;
}

long long TotalReplicates(const std::vector<int>& counts) {
    return std::accumulate(counts.begin(), counts.end(), 0LL);
}

CalibrationStudy CalibrationStudy::MakeNew() {
    CalibrationStudy study;
    study.SetLevelColumns(3);
    for (int i = 1; i <= 3; ++i)
        study.Levels[i - 1].Heading = LevelHeading(i);
    study.SetResponseRows(9);
    return study;
}

void CalibrationStudy::SetLevelColumns(int count) {
    Levels.resize(count < 0 ? 0 : count);
}

void CalibrationStudy::SetResponseRows(int count) {
    Responses.resize(count < 0 ? 0 : count);
}

std::string CalibrationStudy::LevelCell(int column, int row) const {
    if (column == 0) {
        if (row == 1) return kValueCaption;
        if (row == 2) return kReplicationCaption;
        return {};
    }
    if (column < 0 || column > LevelColumns()) return {};
    const StudyLevel& level = Levels[column - 1];
    switch (row) {
    case 0:
        return level.Heading;
    case 1:
        return level.AddedQuantity;
    case 2:
        return level.ReplicateCount;
    default:
        return {};
    }
}

std::string CalibrationStudy::ResponseCell(int column, int row) const {
    if (row == 0) return column == 1 ? ResponsesHeading : std::string();
    if (row < 0 || row > ResponseRows()) return {};
    const ResponseRow& line = Responses[row - 1];
    switch (column) {
    case 0:
        return line.ResponseLabel;
    case 1:
        return line.Response;
    case 2:
        return line.SecondDataColumn;
    default:
        return {};
    }
}

} // namespace valdex
