#pragma once
// The studies of data/studies.txt (name | x:replicates ... | responses) and
// the '|'-separated tables beside them.

#include "study/calibration_study.h"

#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace valdex::testing {

inline std::string ValidationDataPath(const std::string& name) {
    return std::string(VALDEX_SOURCE_DIR) + "/tests/core/validation/data/" + name;
}

// The rows of a table file, each cut at '|' with the blanks around the
// fields removed; comment lines (#) and empty lines left out.
inline std::vector<std::vector<std::string>> ReadTable(const std::string& name) {
    std::ifstream in(ValidationDataPath(name));
    if (!in) throw std::runtime_error("missing test data " + name);
    std::vector<std::vector<std::string>> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> fields;
        std::istringstream cells(line);
        std::string cell;
        while (std::getline(cells, cell, '|')) {
            const auto begin = cell.find_first_not_of(' ');
            const auto end = cell.find_last_not_of(' ');
            fields.push_back(begin == std::string::npos ? "" : cell.substr(begin, end - begin + 1));
        }
        rows.push_back(fields);
    }
    return rows;
}

inline CalibrationStudy StudyFromRow(const std::vector<std::string>& row) {
    CalibrationStudy study = CalibrationStudy::MakeNew();
    study.MethodName = "Método " + row[0];
    study.AnalystName = "Ana";
    study.StudyDate = "01/02/2000";
    study.AddedQuantityUnits = "mg";
    study.MeasuredProperty = "Área";
    study.CalculationType = kRegression;
    study.Levels.clear();
    std::istringstream levels(row[1]), responses(row[2]);
    std::string level, response;
    while (levels >> level) {
        const auto colon = level.find(':');
        study.Levels.push_back({LevelHeading(study.LevelColumns() + 1), level.substr(0, colon),
                                level.substr(colon + 1)});
    }
    study.LevelCount = std::to_string(study.LevelColumns());
    study.Responses.clear();
    for (int i = 0; i < study.LevelColumns(); ++i)
        for (int j = 1; j <= std::stoi(study.Levels[i].ReplicateCount); ++j) {
            responses >> response;
            study.Responses.push_back({ResponseLabel(i + 1, j), response, ""});
        }
    return study;
}

inline std::map<std::string, CalibrationStudy> ValidationStudies() {
    std::map<std::string, CalibrationStudy> studies;
    for (const auto& row : ReadTable("studies.txt"))
        studies.emplace(row[0], StudyFromRow(row));
    return studies;
}

} // namespace valdex::testing
