#pragma once
// What the results window shows for the worked example (four levels 1 to 4,
// three replicates each, units "mg").

#include "../../core/support/worked_example.h"

#include <QStringList>

namespace valdex::testing {

// The lines of the results window for the worked example, with the two
// lines of the intercept's deviation only for "Ordenada al Origen".
inline QStringList ExpectedResults(const QString& type) {
    const QString q = QStringLiteral("\"") + type + QStringLiteral("\"");
    const bool intercept = type == QStringLiteral("Ordenada al Origen");
    QStringList lines = {QString(), QStringLiteral("VARIABILIDAD :CURVA DE CALIBRACIÓN ") + q};
    for (const std::string& line : WorkedExampleStatisticsLines())
        lines << QString::fromStdString(line);
    lines << QString();
    if (intercept)
        lines << QStringLiteral("DESVIACIÓN ESTÁNDAR DE ORDENADA AL ORIGEN = 0.103521")
              << QString();
    lines << QStringLiteral("LÍMITE DE DETECCIÓN ") + q + QStringLiteral(" = ") +
                 (intercept ? QStringLiteral("0.16884") : QStringLiteral("0.238776")) +
                 QStringLiteral(" mg")
          << QStringLiteral("LÍMITE DE CUANTIFICACIÓN ") + q + QStringLiteral(" = ") +
                 (intercept ? QStringLiteral("0.511638") : QStringLiteral("0.723565")) +
                 QStringLiteral(" mg")
          << QString() << QString() << QStringLiteral("NOTAS")
          << QStringLiteral(
                 "EL COEFICIENTE DE DETERMINACIÓN DEBERÁ SER MAYOR O IGUAL A 0.98 (r2 >= 0.98)")
          << QStringLiteral("EL INTERVALO DE CONFIANZA PARA LA PENDIENTE NO DEBERÁ INCLUIR EL CERO")
          << QStringLiteral("EL LÍMITE DE DETECCIÓN (LD) ") + q +
                 QStringLiteral(
                     " DEBE SER MENOR A LA ESPECIFICACIÓN DE LA PRUEBA DE IMPUREZAS LÍMITE")
          << QStringLiteral("EL LÍMITE DE CUANTIFICACIÓN (LC) ") + q +
                 QStringLiteral(
                     " DEBE SER MENOR A LA ESPECIFICACIÓN DEL CONTENIDO/ VALORACIÓN DE LA "
                     "PRUEBA DE IMPUREZAS");
    return lines;
}

} // namespace valdex::testing
