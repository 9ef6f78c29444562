#include "calc/results_text.h"

#include "calc/result_fields.h"

namespace valdex {

std::vector<std::string> RegressionLines(const CalibrationResult& r, char sep) {
    auto line = [&](const char* label, ResultMember field) {
        return label + FormatResult(r, field, sep);
    };
    using R = CalibrationResult;
    return {
        line("PENDIENTE = ", &R::Slope),
        line("LÍMITE SUPERIOR DEL INTERVALO DE CONFIANZA = ", &R::SlopeCIUpper),
        line("LÍMITE INFERIOR DEL INTERVALO DE CONFIANZA = ", &R::SlopeCILower),
        "",
        line("ORDENADA AL ORIGEN = ", &R::Intercept),
        line("LÍMITE SUPERIOR DEL INTERVALO DE CONFIANZA DE ORDENADA AL ORIGEN = ",
             &R::InterceptCIUpper),
        line("LÍMITE INFERIOR DEL INTERVALO DE CONFIANZA DE ORDENADA AL ORIGEN = ",
             &R::InterceptCILower),
        "",
        line("DESVIACIÓN ESTÁNDAR DE REGRESIÓN = ", &R::RegressionSD),
        line("COEFICIENTE DE VARIACIÓN = ", &R::CV),
        line("COEFICIENTE DE DETERMINACIÓN = ", &R::R2),
        "",
    };
}

std::vector<std::string> ResultsLines(const CalibrationResult& r,
                                      const std::string& calculationType, const std::string& units,
                                      char sep) {
    auto f = [&](ResultMember field) { return FormatResult(r, field, sep); };
    const std::string quoted = "\"" + calculationType + "\"";
    const bool interceptMethod = calculationType == kInterceptMethod;
    const bool knownType = IsKnownCalculationType(calculationType);

    // The title has no space after the colon, and the limit lines one space
    // before the quoted type (the report differs in both).
    std::vector<std::string> lines = {"", "VARIABILIDAD :CURVA DE CALIBRACIÓN " + quoted};
    const std::vector<std::string> regression = RegressionLines(r, sep);
    lines.insert(lines.end(), regression.begin(), regression.end());
    if (interceptMethod) {
        lines.push_back("DESVIACIÓN ESTÁNDAR DE ORDENADA AL ORIGEN = " +
                        f(&CalibrationResult::InterceptSD));
        lines.push_back("");
    }
    if (knownType) {
        lines.push_back("LÍMITE DE DETECCIÓN " + quoted + " = " + f(&CalibrationResult::LD) + " " +
                        units);
        lines.push_back("LÍMITE DE CUANTIFICACIÓN " + quoted + " = " + f(&CalibrationResult::LC) +
                        " " + units);
        lines.push_back("");
        lines.push_back("");
        lines.push_back("NOTAS");
        lines.push_back(
            "EL COEFICIENTE DE DETERMINACIÓN DEBERÁ SER MAYOR O IGUAL A 0.98 (r2 >= 0.98)");
        lines.push_back("EL INTERVALO DE CONFIANZA PARA LA PENDIENTE NO DEBERÁ INCLUIR EL CERO");
        lines.push_back("EL LÍMITE DE DETECCIÓN (LD) " + quoted +
                        " DEBE SER MENOR A LA ESPECIFICACIÓN DE LA PRUEBA DE IMPUREZAS LÍMITE");
        lines.push_back("EL LÍMITE DE CUANTIFICACIÓN (LC) " + quoted +
                        " DEBE SER MENOR A LA ESPECIFICACIÓN DEL CONTENIDO/ VALORACIÓN DE LA "
                        "PRUEBA DE IMPUREZAS");
    }
    return lines;
}

} // namespace valdex
