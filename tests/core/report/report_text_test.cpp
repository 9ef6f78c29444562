#include "report/report_text.h"

#include "../support/worked_example.h"

#include <gtest/gtest.h>

namespace valdex {
namespace {

std::string Sp(int n) {
    return std::string(n, ' ');
}

ReportText ReportOf(const CalibrationStudy& study) {
    CalibrationCalculator calculator;
    CalibrationResult result;
    return BuildReport(study, calculator, result);
}

TEST(ReportTextTest, WorkedExampleHasFiftyTwoLines) {
    std::vector<std::string> expected = {
        "LÍMITE DE DETECCIÓN Y CUANTIFICACIÓN DEL SISTEMA",
        "CURVA DE CALIBRACIÓN",
        "Información General",
        "",
        "Nombre del Método: Método A",
        "Nombre del Analista: Ana",
        "Fecha: 01/02/2000",
        "Unidades de la cantidad adicionada: mg",
        "Nombre de la propiedad medida: Área",
        "",
        "",
        "Información de niveles",
        "",
        "Número de niveles de cantidad adicionada:",
        "4",
        "",
        Sp(20) + "Valor" + Sp(8) + "Replicación" + Sp(1),
        "Nivel 1" + Sp(9) + "1" + Sp(14) + "3",
        "Nivel 2" + Sp(9) + "2" + Sp(14) + "3",
        "Nivel 3" + Sp(9) + "3" + Sp(14) + "3",
        "Nivel 4" + Sp(9) + "4" + Sp(14) + "3",
        "",
        Sp(40) + "Área",
    };
    const char* responses[] = {"2.1", "1.9", "2.0", "4.2", "3.9", "4.0",
                               "6.1", "5.8", "6.0", "8.3", "7.9", "8.1"};
    for (int k = 0; k < 12; ++k)
        expected.push_back(ResponseLabel(k / 3 + 1, k % 3 + 1) + Sp(12) + responses[k]);
    // The results part: its own heading, then the lines of the results
    // window from the slope to r², then the limits with two spaces.
    expected.insert(expected.end(), {"", "LÍMITE DE DETECCIÓN Y CUANTIFICACIÓN DEL SISTEMA",
                                     "VARIABILIDAD : CURVA DE CALIBRACIÓN \"Regresión\""});
    const std::vector<std::string> statistics = testing::WorkedExampleStatisticsLines();
    expected.insert(expected.end(), statistics.begin(), statistics.end());
    expected.insert(expected.end(), {"", "LÍMITE DE DETECCIÓN  \"Regresión\" = 0.238776 mg",
                                     "LÍMITE DE CUANTIFICACIÓN  \"Regresión\" = 0.723565 mg"});
    const ReportText report = ReportOf(testing::WorkedExample());
    EXPECT_EQ(report.error, "");
    EXPECT_EQ(report.lines.size(), 52u);
    EXPECT_EQ(report.lines, expected);
}

TEST(ReportTextTest, ResultsPartByCalculationType) {
    struct Case {
        std::string type;
        std::size_t resultLines;
        std::string last;
    };
    const Case cases[] = {
        {"Ordenada al Origen", 18,
         "LÍMITE DE CUANTIFICACIÓN  \"Ordenada al Origen\" = 0.511638 mg"},
        {"", 15, ""},
        {"ordenada al origen", 15, ""},
    };
    for (const Case& c : cases) {
        const ReportText report = ReportOf(testing::WorkedExample(c.type));
        EXPECT_EQ(report.lines.size(), 35 + c.resultLines) << c.type;
        EXPECT_EQ(report.lines.back(), c.last) << c.type;
    }
    const ReportText intercept = ReportOf(testing::WorkedExample("Ordenada al Origen"));
    EXPECT_EQ(intercept.lines[50], "DESVIACIÓN ESTÁNDAR DE ORDENADA AL ORIGEN = 0.103521");
}

TEST(ReportTextTest, TextsAreCopiedAndZeroReplicateLevelsHaveNoDataLine) {
    CalibrationStudy study =
        testing::MakeStudy({{"1.50", "2"}, {"2", "0"}, {"3", "2"}}, {"1.0", "1.2", "3.1", "3.0"});
    const ReportText report = ReportOf(study);
    EXPECT_EQ(report.lines[17], "Nivel 1" + Sp(9) + "1.50" + Sp(14) + "2");
    EXPECT_EQ(report.lines[18], "Nivel 2" + Sp(9) + "2" + Sp(14) + "0");
    EXPECT_EQ(report.lines[22], "Nivel 1 , Replica 1" + Sp(12) + "1.0");
    EXPECT_EQ(report.lines[25], "Nivel 3 , Replica 2" + Sp(12) + "3.0");
    EXPECT_EQ(report.lines[26], "");
}

TEST(ReportTextTest, FaultsKeepTheLinesWrittenBeforeThem) {
    // Two data points: the calculation fails after the whole study part.
    const ReportText twoPoints = ReportOf(testing::MakeStudy({{"1", "1"}, {"2", "1"}}, {"1", "2"}));
    EXPECT_EQ(twoPoints.error, "Invalid floating point operation");
    EXPECT_EQ(twoPoints.lines.size(), 17u + 2 + 1 + 1 + 2);
    EXPECT_EQ(twoPoints.lines.back(), "Nivel 2 , Replica 1" + Sp(12) + "2");

    // A replicate count that cannot be counted stops after the levels table.
    CalibrationStudy bad = testing::WorkedExample();
    bad.Levels[2].ReplicateCount = "2.5";
    const ReportText uncounted = ReportOf(bad);
    EXPECT_EQ(uncounted.error, "'2.5' is not a valid integer value");
    ASSERT_EQ(uncounted.lines.size(), 22u);
    EXPECT_EQ(uncounted.lines.back(), "");

    // A replicate count typed far too large ends at the first missing
    // response without filling the window with billions of empty lines.
    CalibrationStudy huge = testing::WorkedExample();
    huge.Levels[0].ReplicateCount = "2000000000";
    const ReportText capped = ReportOf(huge);
    EXPECT_EQ(capped.error, "'' is not a valid floating point value");
    EXPECT_EQ(capped.lines.size(), 23u + 100000u);
}

} // namespace
} // namespace valdex
