#include "calc/result_fields.h"

#include "../support/worked_example.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace valdex {
namespace {

// Every field written with one value, 1.23456789: 8 significant digits for
// the slope, its two limits and r², 6 for every other field, in the order
// of the result.
TEST(ResultFieldsTest, EachFieldHasItsPrecision) {
    struct Case {
        const char* name;
        ResultMember member;
        const char* text;
    };
    const Case cases[] = {
        {"Slope", &CalibrationResult::Slope, "1.2345679"},
        {"SlopeCIUpper", &CalibrationResult::SlopeCIUpper, "1.2345679"},
        {"SlopeCILower", &CalibrationResult::SlopeCILower, "1.2345679"},
        {"Intercept", &CalibrationResult::Intercept, "1.23457"},
        {"InterceptCIUpper", &CalibrationResult::InterceptCIUpper, "1.23457"},
        {"InterceptCILower", &CalibrationResult::InterceptCILower, "1.23457"},
        {"RegressionSD", &CalibrationResult::RegressionSD, "1.23457"},
        {"CV", &CalibrationResult::CV, "1.23457"},
        {"R2", &CalibrationResult::R2, "1.2345679"},
        {"InterceptSD", &CalibrationResult::InterceptSD, "1.23457"},
        {"LD", &CalibrationResult::LD, "1.23457"},
        {"LC", &CalibrationResult::LC, "1.23457"},
    };
    ASSERT_EQ(kResultFields.size(), std::size(cases));
    CalibrationResult result;
    for (const ResultField& field : kResultFields)
        result.*field.Value = 1.23456789;
    std::set<std::string> names;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        EXPECT_STREQ(kResultFields[i].Name, c.name);
        EXPECT_TRUE(kResultFields[i].Value == c.member);
        EXPECT_EQ(FormatResult(result, c.member, '.'), c.text);
        names.insert(kResultFields[i].Name);
    }
    EXPECT_EQ(names.size(), std::size(cases));
}

// The worked example's published texts, one field each.
TEST(ResultFieldsTest, WorkedExample) {
    CalibrationCalculator calculator;
    CalibrationResult result;
    calculator.ComputeCalibration(testing::WorkedExample("Ordenada al Origen"), result);
    EXPECT_EQ(FormatResult(result, &CalibrationResult::Slope, '.'), "2.0233333");
    EXPECT_EQ(FormatResult(result, &CalibrationResult::SlopeCILower, ','), "1,9391097");
    EXPECT_EQ(FormatResult(result, &CalibrationResult::Intercept, '.'), "-0.0333333");
    EXPECT_EQ(FormatResult(result, &CalibrationResult::R2, '.'), "0.99652183");
    EXPECT_EQ(FormatResult(result, &CalibrationResult::InterceptSD, '.'), "0.103521");
    EXPECT_EQ(FormatResult(result, &CalibrationResult::LD, '.'), "0.16884");
}

} // namespace
} // namespace valdex
