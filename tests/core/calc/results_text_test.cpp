#include "calc/results_text.h"

#include "../support/worked_example.h"

#include <gtest/gtest.h>

namespace valdex {
namespace {

std::vector<std::string> ResultsOf(const std::string& type, const std::string& units = "mg") {
    CalibrationCalculator calculator;
    CalibrationResult r;
    calculator.ComputeCalibration(testing::WorkedExample(type), r);
    return ResultsLines(r, type, units, '.');
}

TEST(ResultsTextTest, WorkedExampleRegression) {
    EXPECT_EQ(ResultsOf("Regresión"), testing::WorkedExampleResultsLines());
}

TEST(ResultsTextTest, InterceptMethodHasTwentyFiveLines) {
    const std::vector<std::string> lines = ResultsOf("Ordenada al Origen");
    ASSERT_EQ(lines.size(), 25u);
    EXPECT_EQ(lines[13], "");
    EXPECT_EQ(lines[14], "DESVIACIÓN ESTÁNDAR DE ORDENADA AL ORIGEN = 0.103521");
    EXPECT_EQ(lines[15], "");
    EXPECT_EQ(lines[16], "LÍMITE DE DETECCIÓN \"Ordenada al Origen\" = 0.16884 mg");
    EXPECT_EQ(lines[17], "LÍMITE DE CUANTIFICACIÓN \"Ordenada al Origen\" = 0.511638 mg");
    EXPECT_EQ(lines[23], "EL LÍMITE DE DETECCIÓN (LD) \"Ordenada al Origen\" DEBE SER MENOR A LA "
                         "ESPECIFICACIÓN DE LA PRUEBA DE IMPUREZAS LÍMITE");
}

TEST(ResultsTextTest, OtherTypesAndEmptyUnits) {
    const std::vector<std::string> empty = ResultsOf("");
    ASSERT_EQ(empty.size(), 14u);
    EXPECT_EQ(empty[1], "VARIABILIDAD :CURVA DE CALIBRACIÓN \"\"");
    EXPECT_EQ(ResultsOf("regresión").size(), 14u);
    const std::vector<std::string> noUnits = ResultsOf("Regresión", "");
    EXPECT_EQ(noUnits[14], "LÍMITE DE DETECCIÓN \"Regresión\" = 0.238776 ");
}

} // namespace
} // namespace valdex
