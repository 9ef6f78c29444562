#include "calc/results_text.h"

#include "calc/format_general.h"

namespace valdex {

std::vector<std::string> RegressionLines(const CalibrationResult& r, char sep) {
    auto f8 = [sep](double v) { return FormatGeneral(v, kPrecision8, sep); };
    auto f6 = [sep](double v) { return FormatGeneral(v, kPrecision6, sep); };
    return {
        "PENDIENTE = " + f8(r.Slope),
        "LÍMITE SUPERIOR DEL INTERVALO DE CONFIANZA = " + f8(r.SlopeCIUpper),
        "LÍMITE INFERIOR DEL INTERVALO DE CONFIANZA = " + f8(r.SlopeCILower),
        "",
        "ORDENADA AL ORIGEN = " + f6(r.Intercept),
        "LÍMITE SUPERIOR DEL INTERVALO DE CONFIANZA DE ORDENADA AL ORIGEN = " +
            f6(r.InterceptCIUpper),
        "LÍMITE INFERIOR DEL INTERVALO DE CONFIANZA DE ORDENADA AL ORIGEN = " +
            f6(r.InterceptCILower),
        "",
        "DESVIACIÓN ESTÁNDAR DE REGRESIÓN = " + f6(r.RegressionSD),
        "COEFICIENTE DE VARIACIÓN = " + f6(r.CV),
        "COEFICIENTE DE DETERMINACIÓN = " + f8(r.R2),
        "",
    };
}

std::vector<std::string> ResultsLines(const CalibrationResult& r,
                                      const std::string& calculationType, const std::string& units,
                                      char sep) {
    auto f6 = [sep](double v) { return FormatGeneral(v, kPrecision6, sep); };
    const std::string quoted = "\"" + calculationType + "\"";
    const bool interceptMethod = calculationType == kInterceptMethod;
    const bool knownType = IsKnownCalculationType(calculationType);

    // The title has no space after the colon, and the limit lines one space
    // before the quoted type (the report differs in both).
    std::vector<std::string> lines = {"", "VARIABILIDAD :CURVA DE CALIBRACIÓN " + quoted};
    const std::vector<std::string> regression = RegressionLines(r, sep);
    lines.insert(lines.end(), regression.begin(), regression.end());
    if (interceptMethod) {
        lines.push_back("DESVIACIÓN ESTÁNDAR DE ORDENADA AL ORIGEN = " + f6(r.InterceptSD));
        lines.push_back("");
    }
    if (knownType) {
        lines.push_back("LÍMITE DE DETECCIÓN " + quoted + " = " + f6(r.LD) + " " + units);
        lines.push_back("LÍMITE DE CUANTIFICACIÓN " + quoted + " = " + f6(r.LC) + " " + units);
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
