#include "report/report_text.h"

#include "base/app_error.h"
#include "base/number_conversion.h"
#include "calc/format_general.h"
#include "calc/result_fields.h"
#include "calc/results_text.h"

#include <algorithm>

namespace valdex {

namespace {

std::string Spaces(int count) {
    return std::string(count, ' ');
}

void AppendStudyPart(const CalibrationStudy& s, int levels, std::vector<std::string>& lines) {
    lines.insert(lines.end(), {
                                  "LÍMITE DE DETECCIÓN Y CUANTIFICACIÓN DEL SISTEMA",
                                  "CURVA DE CALIBRACIÓN",
                                  "Información General",
                                  "",
                                  "Nombre del Método: " + s.MethodName,
                                  "Nombre del Analista: " + s.AnalystName,
                                  "Fecha: " + s.StudyDate,
                                  "Unidades de la cantidad adicionada: " + s.AddedQuantityUnits,
                                  "Nombre de la propiedad medida: " + s.MeasuredProperty,
                                  "",
                                  "",
                                  "Información de niveles",
                                  "",
                                  "Número de niveles de cantidad adicionada:",
                                  s.LevelCount,
                                  "",
                                  Spaces(20) + "Valor" + Spaces(8) + "Replicación" + Spaces(1),
                              });
    for (int i = 1; i <= levels; ++i)
        lines.push_back("Nivel " + std::to_string(i) + Spaces(9) + s.LevelCell(i, 1) + Spaces(14) +
                        s.LevelCell(i, 2));
    lines.push_back("");
}

void AppendResultsPart(const CalibrationResult& r, const CalibrationStudy& s, char sep,
                       std::vector<std::string>& lines) {
    auto f = [&](ResultMember field) { return FormatResult(r, field, sep); };
    const std::string& type = s.CalculationType;
    const std::string quoted = "\"" + type + "\"";
    // Unlike the results window: a space after the colon of the title, no
    // empty line after the intercept's deviation, two spaces before the
    // quoted type, and no notes.
    lines.insert(lines.end(), {"", "LÍMITE DE DETECCIÓN Y CUANTIFICACIÓN DEL SISTEMA",
                               "VARIABILIDAD : CURVA DE CALIBRACIÓN " + quoted});
    const std::vector<std::string> regression = RegressionLines(r, sep);
    lines.insert(lines.end(), regression.begin(), regression.end());
    if (type == kInterceptMethod)
        lines.push_back("DESVIACIÓN ESTÁNDAR DE ORDENADA AL ORIGEN = " +
                        f(&CalibrationResult::InterceptSD));
    if (IsKnownCalculationType(type)) {
        lines.push_back("LÍMITE DE DETECCIÓN  " + quoted + " = " + f(&CalibrationResult::LD) + " " +
                        s.AddedQuantityUnits);
        lines.push_back("LÍMITE DE CUANTIFICACIÓN  " + quoted + " = " + f(&CalibrationResult::LC) +
                        " " + s.AddedQuantityUnits);
    }
}

} // namespace

ReportText BuildReport(const CalibrationStudy& study, CalibrationCalculator& calculator,
                       CalibrationResult& result) {
    ReportText report;
    try {
        const int levels = ToInteger(study.LevelCount);
        AppendStudyPart(study, levels, report.lines);
        const long long responses = TotalReplicates(ReplicateCounts(study, levels));
        report.lines.push_back(Spaces(40) + study.MeasuredProperty);
        // A replicate count typed far too large must not freeze the window
        // filling empty lines: no study file can hold more responses anyway.
        // Clamped before narrowing: a sum of negative counts must not wrap.
        const int shown = static_cast<int>(std::clamp<long long>(responses, 0, kMaxFileResponses));
        for (int k = 1; k <= shown; ++k)
            report.lines.push_back(study.ResponseCell(0, k) + Spaces(12) +
                                   study.ResponseCell(1, k));
        calculator.ComputeCalibration(study, result);
        AppendResultsPart(result, study, calculator.DecimalSeparator(), report.lines);
    } catch (const AppError& error) {
        report.error = error.what();
    }
    // A control character typed into a study text is shown escaped, as the
    // messages show it, never drawn raw.
    for (std::string& line : report.lines)
        line = DisplayText(line);
    return report;
}

} // namespace valdex
