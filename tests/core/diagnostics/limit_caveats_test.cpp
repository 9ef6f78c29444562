// What the limits may say: the caveats beside them, the working range, a
// zero s(y/x) and the wording of the verdicts.

#include "../support/worked_example.h"
#include "calc/format_general.h"
#include "diagnostics/diagnostics_text.h"
#include "diagnostics/sample_reading.h"
#include "diagnostics/weighting.h"
#include "diagnostics_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace valdex {
namespace {

using testing::Levels;
using testing::ReadCsv;

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The study of some published data, with its units.
CalibrationStudy StudyOf(const CalibrationData& data, const std::string& units) {
    std::vector<std::pair<std::string, std::string>> levels;
    std::vector<std::string> responses;
    for (const CalibrationLevel& level : data.levels) {
        levels.push_back({FormatGeneral(level.x, 15, '.'), std::to_string(level.responses.size())});
        for (double y : level.responses)
            responses.push_back(FormatGeneral(y, 15, '.'));
    }
    CalibrationStudy study = testing::MakeStudy(levels, responses);
    study.AddedQuantityUnits = units;
    return study;
}

TEST(LimitCaveatsTest, TestsThatRejectTheLineAndTheRangeQualifyTheLimits) {
    const std::string rejected = "Límites calculados con una recta que no cumple: ";
    const std::string lowLC = "LC por debajo del patrón más bajo (extrapolado): confírmelo con "
                              "muestras en el LC.";
    struct Case {
        const char* file;
        std::string units; // the study in a file; none for more than ten levels
        std::vector<std::string> caveats;
    };
    const Case cases[] = {
        // Massart: lack of fit p = 4.4·10⁻⁶ and Cochran rejected (R agrees);
        // the top standard, 50, is above ten times x_NG.
        {"massart97ex3.csv",
         "mg/L",
         {rejected + "falta de ajuste significativa (p = 4,4·10⁻⁶); varianzas no homogéneas "
                     "(Cochran, Bartlett y F de los niveles extremos).",
          "DIN 32645 espera una calibración cerca del límite: calibración demasiado amplia para "
          "estimar el límite (el patrón más alto, 50 mg/L, pasa de diez veces x_NG = 3,94536 "
          "mg/L)."}},
        // NIST Pontius: lack of fit F = 214.7 and a clear curvature.
        {"pontius_nist.csv",
         "-",
         {rejected + "falta de ajuste significativa (p = 5.5·10⁻¹⁹); la parábola ajusta mejor "
                     "que la recta (Mandel, p = 9.8·10⁻⁴⁰).",
          lowLC,
          "DIN 32645 espera una calibración cerca del límite: calibración demasiado amplia para "
          "estimar el límite (el patrón más alto, 3·10⁶, pasa de diez veces x_NG = 7686.26)."}},
        // DIN 32645's own example calibrates near its limit and passes.
        {"din32645_calibration.csv", "", {}},
    };
    for (const Case& c : cases) {
        const char sep = c.units == "-" ? '.' : ',';
        const Diagnostics d = c.units == "-"
                                  ? ComputeDiagnostics(ReadCsv(c.file), {})
                                  : ComputeDiagnostics(StudyOf(ReadCsv(c.file), c.units), {}, sep);
        EXPECT_EQ(d.limitCaveats, c.caveats) << c.file;
        // Beside the limits table, in order.
        const std::vector<std::string> lines = DiagnosticsLines(d, sep);
        for (const std::string& caveat : c.caveats)
            EXPECT_TRUE(Contains(lines, caveat)) << caveat;
    }
    // A calibration far above its LC: the limit is extrapolated.
    CalibrationStudy high = testing::WorkedExample();
    for (StudyLevel& level : high.Levels)
        level.AddedQuantity = std::to_string(std::stoi(level.AddedQuantity) + 10);
    const Diagnostics d = ComputeDiagnostics(high, {}, '.');
    EXPECT_TRUE(std::count(d.limitCaveats.begin(), d.limitCaveats.end(), lowLC) == 1);
}

TEST(LimitCaveatsTest, ZeroDeviationLeavesEveryLimitNotEstimable) {
    const CalibrationStudy exact = testing::MakeStudy(
        {{"1", "2"}, {"2", "2"}, {"3", "2"}, {"4", "2"}}, {"2", "2", "4", "4", "6", "6", "8", "8"});
    const Diagnostics d = ComputeDiagnostics(exact, {}, '.');
    ASSERT_EQ(*d.line.s, 0);
    struct Case {
        const char* name;
        const Value& value;
        const std::string& reason;
    };
    const Case cases[] = {
        {"ICH LD", d.ichSyx.LD, d.ichSyx.reason},    {"ICH s_a LC", d.ichSa.LC, d.ichSa.reason},
        {"x_NG", d.din.xNG, d.din.reason},           {"x_BG", d.din.xBG, d.din.reason},
        {"y_C", d.hubauxVos.yC, d.hubauxVos.reason}, {"x_D", d.hubauxVos.xD, d.hubauxVos.reason},
        {"estudio LD", d.study.LD, d.study.reason},  {"estudio LC", d.study.LC, d.study.reason},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(c.value) << c.name;
        EXPECT_EQ(c.reason, kNotEstimable) << c.name;
    }
    EXPECT_TRUE(d.limitCaveats.empty());
    const std::vector<std::string> lines = DiagnosticsLines(d, '.');
    const auto row = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.rfind("ICH, s(y/x)", 0) == 0;
    });
    ASSERT_NE(row, lines.end());
    EXPECT_NE(row->find("LD = no estimable (s = 0)"), std::string::npos);
    EXPECT_NE(row->find("LC = no estimable (s = 0)"), std::string::npos);
    for (const char* expected : {
             "LD y LC del estudio: no estimable (s = 0)",
             "No calculado: los puntos están exactamente sobre una recta (s(y/x) = 0): PG no se "
             "puede calcular.",
         })
        EXPECT_TRUE(Contains(lines, expected)) << expected;
    const SampleReading r = ReadSample(exact, {5}, 0.05, '.');
    EXPECT_TRUE(r.verdict.empty());
    EXPECT_EQ(r.reason, "LD y LC no estimables (s = 0): no hay veredicto.");
}

// x = (y − a)/b; the worked example's a = −0.0333333, b = 2.0233333.
TEST(LimitCaveatsTest, SampleReadingsAgainstTheWorkingRange) {
    struct Case {
        CalibrationStudy study;
        double y, x;
        std::string verdict;
        WeightScheme weight = WeightScheme::None;
    };
    const CalibrationStudy worked = testing::WorkedExample();
    const std::string above = "fuera del intervalo de calibración (1–4 mg): extrapolación";
    const Case cases[] = {
        // Massart at y = 150 reads x = 74.2, with the top standard at 50.
        {StudyOf(ReadCsv("massart97ex3.csv"), "mg/L"), 150, 74.2,
         "fuera del intervalo de calibración (0–50 mg/L): extrapolación"},
        {worked, 10, 4.9588, above},
        {worked, 8.1, 4.0198, above},
        {worked, 8.0, 3.9703, "≥ LC"},
        {worked, 1.9, 0.9555, "≥ LC, por debajo del patrón más bajo"},
        {worked, 1.2, 0.6095, "LD ≤ x < LC, por debajo del patrón más bajo"},
        {worked, 0.2, 0.1153, "< LD"},
        // A weighted line reads against the same working range.
        {worked, 10, 4.9660, above, WeightScheme::VarianceFunction},
        {worked, 8.0, 3.9749, "≥ LC", WeightScheme::VarianceFunction},
        {worked, 10, 4.9588, above, WeightScheme::InverseY},
    };
    for (const Case& c : cases) {
        const SampleReading r =
            c.weight == WeightScheme::None
                ? ReadSample(c.study, {c.y}, 0.05, '.')
                : ReadWeightedSample(c.study, c.weight, {}, {c.y}, 0.05, std::nullopt, '.');
        ASSERT_TRUE(r.x) << c.y;
        EXPECT_NEAR(*r.x, c.x, 0.05) << c.y;
        EXPECT_EQ(SampleVerdict(r, '.'), c.verdict) << c.y;
    }
    // The text and the window write the same verdict.
    const std::vector<std::string> lines = SampleLines(ReadSample(worked, {10}, 0.05, '.'), '.');
    EXPECT_TRUE(Contains(lines, "Veredicto: " + above +
                                    " (LD = 0.238776, LC = 0.723565 mg, \"Regresión\")"));
}

TEST(LimitCaveatsTest, VerdictWording) {
    struct Case {
        const char* name;
        CalibrationData data;
        std::vector<std::string> present, absent;
    };
    const std::string caution = "Advertencia: la prueba de Mandel tiene poca potencia en diseños "
                                "pequeños; que no rechace la recta no demuestra la linealidad.";
    const Case cases[] = {
        {"Mandel sin calcular (3 niveles)",
         Levels({{1, {1.0, 1.1}}, {2, {2.1, 1.9}}, {3, {3.0, 3.2}}}),
         {"No calculado: Mandel necesita al menos 4 niveles distintos."},
         {caution}},
        {"Mandel rechaza (Pontius)", ReadCsv("pontius_nist.csv"), {}, {caution}},
        {"Mandel no rechaza", ReadCsv("cadmium_epa1997.csv"), {caution}, {}},
        // C = 0.41: the Bonferroni bound only says p > α.
        {"Cochran, cota",
         Levels({{1, {2.1, 1.9, 2.0}},
                 {2, {4.2, 3.9, 4.0}},
                 {3, {6.1, 5.8, 6.0}},
                 {4, {8.3, 7.9, 8.1}}}),
         {"C = 0.413793, C crítico = ", ", p > 0.05"},
         {}},
        // C ≥ 1/2: the bound is the exact p.
        {"Cochran, exacto",
         Levels({{1, {1.0, 1.1, 0.9}}, {2, {2.0, 2.01, 1.99}}, {3, {3, 3.5, 2.5}}}),
         {"C = 0.961169, C crítico = 0.8709", ", p = 0.0"},
         {}},
        {"Grubbs, n = 3 con dos iguales",
         Levels({{1, {1.0, 1.0, 1.3}}, {2, {2.0, 2.1, 1.9}}, {3, {3.1, 2.9, 3.0}}}),
         {"Nivel 1: con tres réplicas y dos iguales, Grubbs señala siempre la tercera: G toma su "
          "valor máximo posible, (n − 1)/√n."},
         {}},
        {"Mayúsculas tras «No calculado:»",
         Levels({{1, {5, 5}}, {2, {5, 5}}, {3, {5, 5}}}),
         {"No calculado: el error puro es cero (las réplicas de cada nivel son idénticas): F no "
          "se puede calcular.",
          "No calculado: Mandel necesita al menos 4 niveles distintos.",
          "ICH, s(y/x): la pendiente es cero: no hay cantidades calculadas ni límites."},
         {}},
    };
    for (const Case& c : cases) {
        const std::vector<std::string> lines =
            DiagnosticsLines(ComputeDiagnostics(c.data, {}), '.');
        for (const std::string& part : c.present)
            EXPECT_TRUE(std::any_of(
                lines.begin(), lines.end(),
                [&](const std::string& line) { return line.find(part) != std::string::npos; }))
                << c.name << ": " << part;
        for (const std::string& line : c.absent)
            EXPECT_FALSE(Contains(lines, line)) << c.name << ": " << line;
        for (const std::string& line : lines)
            EXPECT_EQ(line.find("p ≤ 1 "), std::string::npos) << c.name << ": " << line;
    }
}

} // namespace
} // namespace valdex
