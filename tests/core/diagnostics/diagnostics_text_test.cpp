// The diagnostics text: the user's decimal separator everywhere, every
// section and convention written, gaps explained.

#include "../support/worked_example.h"
#include "diagnostics/diagnostics_text.h"
#include "diagnostics_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace valdex {
namespace {

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::size_t IndexOf(const std::vector<std::string>& lines, const std::string& line) {
    return static_cast<std::size_t>(std::find(lines.begin(), lines.end(), line) - lines.begin());
}

TEST(DiagnosticsTextTest, WorkedExampleWithACommaSeparator) {
    CalibrationStudy study = testing::WorkedExample();
    for (ResponseRow& row : study.Responses)
        std::replace(row.Response.begin(), row.Response.end(), '.', ',');
    const std::vector<std::string> lines =
        DiagnosticsLines(ComputeDiagnostics(study, {}, ','), ',');
    for (const char* expected : {
             "DIAGNÓSTICO DE LA CURVA DE CALIBRACIÓN",
             "N = 12 PUNTOS EN 4 NIVELES",
             "PENDIENTE b = 2,0233333, ORDENADA AL ORIGEN a = -0,0333333",
             "s(y/x) = 0,146401 (10 grados de libertad), s_a = 0,103521",
             "4      3        4  8,1  0,04        0,273222",
             "F = 0,434483, F crítico = 4,45897, p = 0,662015",
             "Veredicto: sin falta de ajuste significativa.",
             "LÍMITES (mg)",
             "ICH, s(y/x)  LD = 0,238776                    LC = 0,723565",
             "ICH, s_a     LD = 0,16884                     LC = 0,511638",
             "LD y LC del estudio (\"Regresión\", como en la ventana de resultados): LD = "
             "0,238776, LC = 0,723565",
             "Advertencia: la prueba de Mandel tiene poca potencia en diseños pequeños; que no "
             "rechace la recta no demuestra la linealidad.",
         })
        EXPECT_TRUE(Contains(lines, expected)) << expected;
    const char* sections[] = {"RESIDUOS (e = y − (a + b·x); estandarizado = e / s(y/x))",
                              "FALTA DE AJUSTE (ANOVA CON ERROR PURO, α = 0,05)",
                              "HOMOGENEIDAD DE VARIANZAS: COCHRAN (α = 0,05)",
                              "HOMOGENEIDAD DE VARIANZAS: BARTLETT (α = 0,05)",
                              "LINEALIDAD: PRUEBA DE MANDEL (RECTA CONTRA PARÁBOLA, α = 0,01)",
                              "LÍMITES (mg)",
                              "CONVENCIONES"};
    for (std::size_t i = 0; i + 1 < std::size(sections); ++i)
        EXPECT_LT(IndexOf(lines, sections[i]), IndexOf(lines, sections[i + 1])) << sections[i];
    EXPECT_TRUE(Contains(lines, "Parámetros: α = 0,01 y β = 0,01 (unilaterales), m = 1 "
                                "(mediciones de cada muestra futura), k = 3."));
}

TEST(DiagnosticsTextTest, GapsSayWhyInsteadOfNumbers) {
    const std::vector<std::string> lines = DiagnosticsLines(
        ComputeDiagnostics(testing::Levels({{1, {5, 5}}, {2, {5, 5}}, {3, {5, 5}}}), {}), '.');
    for (const char* expected : {
             "Nivel 1: dos réplicas: la prueba de Grubbs necesita tres. La pendiente es cero: "
             "no hay cantidades calculadas ni límites.",
             "No calculado: el error puro es cero (las réplicas de cada nivel son idénticas): "
             "F no se puede calcular.",
             "ICH, s(y/x): la pendiente es cero: no hay cantidades calculadas ni límites.",
             "Hubaux–Vos   x_C = —, x_D = —      —",
         })
        EXPECT_TRUE(Contains(lines, expected)) << expected;
}

TEST(DiagnosticsTextTest, SampleReading) {
    const SampleReading r = ReadSample(testing::WorkedExample(), {4.0, 4.1}, 0.05, '.');
    const std::vector<std::string> lines = SampleLines(r, ',');
    for (const char* expected : {
             "Respuestas: m = 2, media ȳ₀ = 4,05",
             "x = 2,01812 mg",
             "Intervalo al 95 % (bilateral): 1,89336 a 2,14288 mg (± 0,124757)",
             "Veredicto: ≥ LC (LD = 0,238776, LC = 0,723565 mg, \"Regresión\")",
         })
        EXPECT_TRUE(Contains(lines, expected)) << expected;
}

} // namespace
} // namespace valdex
