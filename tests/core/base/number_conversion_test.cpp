#include "base/number_conversion.h"

#include "base/app_error.h"

#include <gtest/gtest.h>

namespace valdex {
namespace {

TEST(NumberConversionTest, WholeNumbers) {
    struct Case {
        const char* text;
        bool valid;
        int value;
    };
    const Case cases[] = {
        {"3", true, 3},
        {"10", true, 10},
        {" 7 ", true, 7},
        {"-2", true, -2},
        {"+4", true, 4},
        {"007", true, 7},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0},
        {"", false, 0},
        {" ", false, 0},
        {"x", false, 0},
        {"2.5", false, 0},
        {"3a", false, 0},
        {"1e3", false, 0},
        {"-", false, 0},
        {"1 2", false, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsInteger(c.text), c.valid) << c.text;
        if (c.valid) {
            EXPECT_EQ(ToInteger(c.text), c.value) << c.text;
        }
    }
}

TEST(NumberConversionTest, DecimalNumbersWithTheGivenSeparator) {
    struct Case {
        const char* text;
        char sep;
        bool valid;
        long double value;
    };
    const Case cases[] = {
        {"2.1", '.', true, 2.1L}, {"2,1", ',', true, 2.1L},   {"2,1", '.', false, 0},
        {"2.1", ',', false, 0},   {"-0.5", '.', true, -0.5L}, {".5", '.', true, 0.5L},
        {"5.", '.', true, 5},     {"1E3", '.', true, 1000},   {"1.5e-2", '.', true, 0.015L},
        {" 4 ", '.', true, 4},    {"", '.', false, 0},        {"abc", '.', false, 0},
        {"1e", '.', false, 0},    {".", '.', false, 0},       {"1e999", '.', false, 0},
        {"0x10", '.', false, 0},  {"nan", '.', false, 0},     {"inf", '.', false, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsDecimal(c.text, c.sep), c.valid) << c.text;
        if (c.valid) {
            EXPECT_NEAR(static_cast<double>(ToDecimal(c.text, c.sep)), static_cast<double>(c.value),
                        1e-15)
                << c.text;
        }
    }
}

TEST(NumberConversionTest, FailuresCarryTheOffendingText) {
    try {
        ToInteger("x");
        FAIL();
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'x' is not a valid integer value");
    }
    try {
        ToDecimal("1,5", '.');
        FAIL();
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'1,5' is not a valid floating point value");
    }
}

} // namespace
} // namespace valdex
