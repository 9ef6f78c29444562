#include "calc/calibration.h"

#include "../support/expect_throw.h"
#include "../support/worked_example.h"
#include "base/app_error.h"
#include "calc/format_general.h"

#include <gtest/gtest.h>

namespace valdex {
namespace {

using testing::MakeStudy;
using testing::WorkedExample;

std::string F(double value, int precision) {
    return FormatGeneral(value, precision, '.');
}

TEST(CalibrationTest, WorkedExampleSumsAndResults) {
    CalibrationCalculator calculator;
    CalibrationResult r;
    calculator.ComputeCalibration(WorkedExample(), r);
    const CalibrationSums& s = calculator.Sums();
    EXPECT_EQ(s.N, 12);
    EXPECT_DOUBLE_EQ(s.SumX, 30);
    EXPECT_DOUBLE_EQ(s.SumX2, 90);
    EXPECT_NEAR(s.SumY, 60.3, 1e-12);
    EXPECT_NEAR(s.SumY2, 364.63, 1e-11);
    EXPECT_NEAR(s.SumXY, 181.1, 1e-11);
    EXPECT_DOUBLE_EQ(calculator.TCritical(), 2.2281);

    EXPECT_EQ(F(r.Slope, 8), "2.0233333");
    EXPECT_EQ(F(r.SlopeCIUpper, 8), "2.107557");
    EXPECT_EQ(F(r.SlopeCILower, 8), "1.9391097");
    EXPECT_EQ(F(r.Intercept, 6), "-0.0333333");
    EXPECT_EQ(F(r.InterceptCIUpper, 6), "0.197323");
    EXPECT_EQ(F(r.InterceptCILower, 6), "-0.263989");
    EXPECT_EQ(F(r.RegressionSD, 6), "0.146401");
    EXPECT_EQ(F(r.CV, 6), "2.91346");
    EXPECT_EQ(F(r.R2, 8), "0.99652183");
    EXPECT_EQ(F(r.InterceptSD, 6), "0.103521");
    EXPECT_EQ(F(r.LD, 6), "0.238776");
    EXPECT_EQ(F(r.LC, 6), "0.723565");
}

TEST(CalibrationTest, LimitsFollowTheCalculationType) {
    struct Case {
        std::string type;
        std::string ld, lc;
    };
    const Case cases[] = {
        {"Regresión", "0.238776", "0.723565"},
        {"Ordenada al Origen", "0.16884", "0.511638"},
        // Unknown types leave the previous values (zero on a fresh record).
        {"", "0", "0"},
        {"regresión", "0", "0"},
        {"Ordenada al origen", "0", "0"},
    };
    for (const Case& c : cases) {
        CalibrationCalculator calculator;
        CalibrationResult r;
        calculator.ComputeCalibration(WorkedExample(c.type), r);
        EXPECT_EQ(F(r.LD, 6), c.ld) << c.type;
        EXPECT_EQ(F(r.LC, 6), c.lc) << c.type;
    }
}

TEST(CalibrationTest, UnknownTypeKeepsEarlierLimits) {
    CalibrationCalculator calculator;
    CalibrationResult r;
    calculator.ComputeCalibration(WorkedExample("Regresión"), r);
    calculator.ComputeCalibration(WorkedExample(""), r);
    EXPECT_EQ(F(r.LD, 6), "0.238776");
}

// A study typed with decimal commas gives the same line where the point is
// the separator, and one with points where the comma is.
TEST(CalibrationTest, EitherDecimalMarkWhateverTheSeparator) {
    const CalibrationStudy commas =
        MakeStudy({{"0,5", "2"}, {"1,5", "2"}}, {"1,0", "1,1", "3,0", "3,2"});
    const CalibrationStudy points =
        MakeStudy({{"0.5", "2"}, {"1.5", "2"}}, {"1.0", "1.1", "3.0", "3.2"});
    for (const char separator : {',', '.'}) {
        for (const CalibrationStudy* study : {&commas, &points}) {
            CalibrationCalculator calculator(separator);
            CalibrationResult r;
            calculator.ComputeCalibration(*study, r);
            EXPECT_NEAR(r.Slope, 2.05, 1e-12) << separator;
        }
    }
}

TEST(CalibrationTest, FaultsEndTheCalculationWithTheirTexts) {
    struct Case {
        const char* name;
        CalibrationStudy study;
        std::string message;
    };
    const Case cases[] = {
        {"same added quantity", MakeStudy({{"2", "2"}, {"2", "2"}}, {"1", "2", "3", "4"}),
         "Invalid floating point operation"},
        {"two points", MakeStudy({{"1", "1"}, {"2", "1"}}, {"1", "2"}),
         "Invalid floating point operation"},
        {"responses sum to zero", MakeStudy({{"1", "2"}, {"2", "2"}}, {"-1", "1.5", "-2", "1.5"}),
         "Floating point division by zero"},
        {"slope zero", MakeStudy({{"1", "2"}, {"2", "2"}}, {"1", "3", "3", "1"}),
         "Floating point division by zero"},
        {"empty response", MakeStudy({{"1", "2"}, {"2", "2"}}, {"1", "", "3", "4"}),
         "'' is not a valid floating point value"},
        {"bad response", MakeStudy({{"1", "2"}, {"2", "2"}}, {"1", "abc", "3", "4"}),
         "'abc' is not a valid floating point value"},
        {"bad added quantity", MakeStudy({{"x", "2"}, {"2", "2"}}, {"1", "2", "3", "4"}),
         "'x' is not a valid floating point value"},
        {"replicate not whole", MakeStudy({{"1", "2"}, {"2", "2"}}, {"1", "2", "3", "4"}),
         "'2.5' is not a valid integer value"},
        {"overflow", MakeStudy({{"1", "2"}, {"2", "2"}}, {"1e308", "1e308", "1", "4"}),
         "Floating point overflow"},
        {"negative replicate count", MakeStudy({{"1", "2"}, {"2", "2"}}, {"1", "2", "3", "4"}),
         "La replicación del nivel 1 es negativa."},
    };
    for (const Case& c : cases) {
        CalibrationStudy study = c.study;
        if (std::string(c.name) == "replicate not whole") study.Levels[1].ReplicateCount = "2.5";
        if (std::string(c.name) == "negative replicate count")
            study.Levels[0].ReplicateCount = "-2";
        CalibrationCalculator calculator;
        CalibrationResult r;
        EXPECT_THROW_MSG(calculator.ComputeCalibration(study, r), AppError, c.message) << c.name;
    }
}

TEST(CalibrationTest, PointsExactlyOnALineGiveZeroDeviation) {
    // Rounding leaves a residual sum of squares a hair below zero here.
    CalibrationStudy study =
        MakeStudy({{"0.1", "1"}, {"0.2", "1"}, {"0.3", "1"}}, {"0.07", "0.14", "0.21"});
    CalibrationCalculator calculator;
    CalibrationResult r;
    calculator.ComputeCalibration(study, r);
    EXPECT_NEAR(r.Slope, 0.7, 1e-12);
    EXPECT_EQ(r.RegressionSD, 0.0);
    EXPECT_EQ(r.LD, 0.0);
}

TEST(CalibrationTest, ZeroReplicateLevelAddsNoPointAndMovesNoRow) {
    CalibrationStudy withZero = MakeStudy({{"1", "2"}, {"9", "0"}, {"2", "2"}, {"3", "2"}},
                                          {"1", "1.2", "2", "2.1", "3", "3.3"});
    withZero.Levels[1].AddedQuantity = ""; // never read: no replicate of it
    CalibrationStudy without =
        MakeStudy({{"1", "2"}, {"2", "2"}, {"3", "2"}}, {"1", "1.2", "2", "2.1", "3", "3.3"});
    CalibrationCalculator calculator;
    CalibrationResult a, b;
    calculator.ComputeCalibration(withZero, a);
    EXPECT_EQ(calculator.Sums().N, 6);
    calculator.ComputeCalibration(without, b);
    EXPECT_DOUBLE_EQ(a.Slope, b.Slope);
    EXPECT_DOUBLE_EQ(a.InterceptSD, b.InterceptSD);
}

// The worked example with every response negated: the slope, the intercept
// and their intervals change sign (the upper limit stays b + t·s_b), the
// limits are the same amounts as the increasing example's.
TEST(CalibrationTest, DecreasingCalibrationGivesPositiveLimits) {
    struct Case {
        std::string type;
        std::string ld, lc;
    };
    const Case cases[] = {
        {"Regresión", "0.238776", "0.723565"},
        {"Ordenada al Origen", "0.16884", "0.511638"},
    };
    for (const Case& c : cases) {
        CalibrationStudy study = WorkedExample(c.type);
        for (ResponseRow& row : study.Responses)
            row.Response = "-" + row.Response;
        CalibrationCalculator calculator;
        CalibrationResult r;
        calculator.ComputeCalibration(study, r);
        EXPECT_EQ(F(r.Slope, 8), "-2.0233333") << c.type;
        EXPECT_EQ(F(r.SlopeCIUpper, 8), "-1.9391097") << c.type;
        EXPECT_EQ(F(r.SlopeCILower, 8), "-2.107557") << c.type;
        EXPECT_EQ(F(r.Intercept, 6), "0.0333333") << c.type;
        EXPECT_EQ(F(r.InterceptCIUpper, 6), "0.263989") << c.type;
        EXPECT_EQ(F(r.LD, 6), c.ld) << c.type;
        EXPECT_EQ(F(r.LC, 6), c.lc) << c.type;
    }
}

TEST(CalibrationTest, ThreePointsUseOneDegreeOfFreedom) {
    CalibrationStudy study = MakeStudy({{"1", "1"}, {"2", "1"}, {"3", "1"}}, {"1", "2.2", "2.9"});
    CalibrationCalculator calculator;
    CalibrationResult r;
    calculator.ComputeCalibration(study, r);
    EXPECT_DOUBLE_EQ(calculator.TCritical(), 12.706);
}

TEST(CalibrationTest, LevelCountIsUsedAsTyped) {
    // Without the level check (the laser page), a count above the columns
    // reads the missing cells as empty.
    CalibrationStudy study = WorkedExample();
    study.LevelCount = "5";
    CalibrationCalculator calculator;
    CalibrationResult r;
    EXPECT_THROW(calculator.ComputeCalibration(study, r), ConversionError);
}

} // namespace
} // namespace valdex
