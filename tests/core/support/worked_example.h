#pragma once
// The worked example of the calibration: four levels (1, 2, 3, 4) with three
// replicates each.

#include "study/calibration_study.h"

#include <string>
#include <vector>

namespace valdex::testing {

inline CalibrationStudy MakeStudy(const std::vector<std::pair<std::string, std::string>>& levels,
                                  const std::vector<std::string>& responses,
                                  const std::string& type = "Regresión") {
    CalibrationStudy study = CalibrationStudy::MakeNew();
    study.MethodName = "Método A";
    study.AnalystName = "Ana";
    study.StudyDate = "01/02/2000";
    study.AddedQuantityUnits = "mg";
    study.MeasuredProperty = "Área";
    study.CalculationType = type;
    study.LevelCount = std::to_string(levels.size());
    study.SetLevelColumns(static_cast<int>(levels.size()));
    for (std::size_t i = 0; i < levels.size(); ++i) {
        study.Levels[i] = {LevelHeading(static_cast<int>(i) + 1), levels[i].first,
                           levels[i].second};
    }
    study.SetResponseRows(static_cast<int>(responses.size()));
    int row = 0;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const int count = std::stoi(levels[i].second);
        for (int j = 1; j <= count && row < static_cast<int>(responses.size()); ++j, ++row)
            study.Responses[row] = {ResponseLabel(static_cast<int>(i) + 1, j), responses[row], ""};
    }
    return study;
}

inline CalibrationStudy WorkedExample(const std::string& type = "Regresión") {
    return MakeStudy(
        {{"1", "3"}, {"2", "3"}, {"3", "3"}, {"4", "3"}},
        {"2.1", "1.9", "2.0", "4.2", "3.9", "4.0", "6.1", "5.8", "6.0", "8.3", "7.9", "8.1"}, type);
}

} // namespace valdex::testing
