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

// The lines from the slope to r² of the worked example, as the results
// window and the report both show them.
inline std::vector<std::string> WorkedExampleStatisticsLines() {
    return {
        "PENDIENTE = 2.0233333",
        "LÍMITE SUPERIOR DEL INTERVALO DE CONFIANZA = 2.107557",
        "LÍMITE INFERIOR DEL INTERVALO DE CONFIANZA = 1.9391097",
        "",
        "ORDENADA AL ORIGEN = -0.0333333",
        "LÍMITE SUPERIOR DEL INTERVALO DE CONFIANZA DE ORDENADA AL ORIGEN = 0.197323",
        "LÍMITE INFERIOR DEL INTERVALO DE CONFIANZA DE ORDENADA AL ORIGEN = -0.263989",
        "",
        "DESVIACIÓN ESTÁNDAR DE REGRESIÓN = 0.146401",
        "COEFICIENTE DE VARIACIÓN = 2.91346",
        "COEFICIENTE DE DETERMINACIÓN = 0.99652183",
    };
}

// The 23 lines of the results window for the worked example by "Regresión".
inline std::vector<std::string> WorkedExampleResultsLines() {
    std::vector<std::string> lines = {"", "VARIABILIDAD :CURVA DE CALIBRACIÓN \"Regresión\""};
    const std::vector<std::string> statistics = WorkedExampleStatisticsLines();
    lines.insert(lines.end(), statistics.begin(), statistics.end());
    lines.insert(lines.end(),
                 {
                     "",
                     "LÍMITE DE DETECCIÓN \"Regresión\" = 0.238776 mg",
                     "LÍMITE DE CUANTIFICACIÓN \"Regresión\" = 0.723565 mg",
                     "",
                     "",
                     "NOTAS",
                     "EL COEFICIENTE DE DETERMINACIÓN DEBERÁ SER MAYOR O IGUAL A 0.98 (r2 >= 0.98)",
                     "EL INTERVALO DE CONFIANZA PARA LA PENDIENTE NO DEBERÁ INCLUIR EL CERO",
                     "EL LÍMITE DE DETECCIÓN (LD) \"Regresión\" DEBE SER MENOR A LA ESPECIFICACIÓN "
                     "DE LA PRUEBA DE IMPUREZAS LÍMITE",
                     "EL LÍMITE DE CUANTIFICACIÓN (LC) \"Regresión\" DEBE SER MENOR A LA "
                     "ESPECIFICACIÓN DEL CONTENIDO/ VALORACIÓN DE LA PRUEBA DE IMPUREZAS",
                 });
    return lines;
}

} // namespace valdex::testing
