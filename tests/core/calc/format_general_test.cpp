#include "calc/format_general.h"

#include <gtest/gtest.h>

namespace valdex {
namespace {

TEST(FormatGeneralTest, Examples) {
    struct Case {
        double value;
        int precision;
        const char* text;
    };
    const Case cases[] = {
        {2.9134582, 6, "2.91346"},
        {0.1688404, 6, "0.16884"},
        {15, 6, "15"},
        {-0.0333333333, 6, "-0.0333333"},
        {0.0001, 6, "0.0001"},
        {0.00001234567, 6, "1.23457E-5"},
        {123456, 6, "123456"},
        {1234567, 6, "1.23457E6"},
        {0.99652183320, 8, "0.99652183"},
        {0, 6, "0"},
        {-0.0, 8, "0"},
        // Carry through every kept digit moves the exponent.
        {9.9999996, 6, "10"},
        {999999.7, 6, "1E6"},
        {0.00099999996, 6, "0.001"},
        // Fixed up to below 10^P, padded with zeros.
        {12345600, 8, "12345600"},
        {123456000, 8, "1.23456E8"},
        {-1234567, 6, "-1.23457E6"},
        {1e-300, 6, "1E-300"},
        {1.5e300, 8, "1.5E300"},
        {0.00012345, 6, "0.00012345"},
        {100, 6, "100"},
        // Half up decided on the value's own digits: 0.125 is exact in binary.
        {0.125, 2, "0.13"},
        // 2.675 is stored below 2.675, so it rounds down.
        {2.675, 3, "2.67"},
        {-2.5, 1, "-3"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatGeneral(c.value, c.precision, '.'), c.text) << c.value;
}

TEST(FormatGeneralTest, UsesTheGivenDecimalSeparator) {
    EXPECT_EQ(FormatGeneral(2.9134582, 6, ','), "2,91346");
    EXPECT_EQ(FormatGeneral(-0.0333333333, 6, ','), "-0,0333333");
    EXPECT_EQ(FormatGeneral(0.00001234567, 6, ','), "1,23457E-5");
}

} // namespace
} // namespace valdex
