#include "calc/format_general.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

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

// The digits that decide the rounding, read from the full exact expansion.
std::string RoundedDigitsFromExactExpansion(double magnitude, int precision, int& exponent) {
    char buffer[900];
    std::snprintf(buffer, sizeof buffer, "%.800e", magnitude);
    std::string digits = std::string(1, buffer[0]) + std::string(buffer + 2, 800);
    exponent = std::atoi(std::strchr(buffer, 'e') + 1) + 1;
    std::string kept = digits.substr(0, precision);
    if (digits[precision] >= '5') {
        int i = precision - 1;
        while (i >= 0 && kept[i] == '9')
            kept[i--] = '0';
        if (i < 0) {
            kept = "1" + kept.substr(0, precision - 1);
            ++exponent;
        } else {
            ++kept[i];
        }
    }
    while (kept.size() > 1 && kept.back() == '0')
        kept.pop_back();
    return kept;
}

TEST(FormatGeneralTest, AgreesWithTheFullExpansionOverManyValues) {
    std::mt19937_64 random(20261208);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-12, 12);
    for (int k = 0; k < 20000; ++k) {
        // Values near a rounding boundary as well as arbitrary ones.
        double value = mantissa(random) * std::pow(10.0, exponent(random));
        if (k % 3 == 0) value = std::round(value * 1e6) / 1e6 + 5e-7;
        for (int precision : {kPrecision6, kPrecision8}) {
            int e = 0;
            const std::string digits = RoundedDigitsFromExactExpansion(value, precision, e);
            const std::string text = FormatGeneral(value, precision, '.');
            std::string onlyDigits;
            for (char c : text.substr(0, text.find('E')))
                if (c >= '0' && c <= '9') onlyDigits += c;
            onlyDigits.erase(0, onlyDigits.find_first_not_of('0'));
            while (onlyDigits.size() > digits.size() && onlyDigits.back() == '0')
                onlyDigits.pop_back();
            ASSERT_EQ(onlyDigits, digits) << value << " " << text;
        }
    }
}

TEST(FormatGeneralTest, ProseWritesPowersOfTenInSuperscript) {
    struct Row {
        double value;
        int precision;
        char sep;
        bool unicodeMinus;
        const char* expected;
    } const rows[] = {
        {4.4e-6, 2, ',', false, "4,4·10⁻⁶"}, {-1.25e12, 6, '.', true, "−1.25·10¹²"},
        {1e-10, 6, '.', false, "1·10⁻¹⁰"},   {-0.5, 6, ',', true, "−0,5"},
        {-0.5, 6, ',', false, "-0,5"},       {123.25, 6, '.', false, "123.25"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FormatProse(row.value, row.precision, row.sep, row.unicodeMinus), row.expected)
            << row.value;
}

} // namespace
} // namespace valdex
