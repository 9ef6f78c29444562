#include "base/number_conversion.h"

#include "../support/expect_throw.h"
#include "base/app_error.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstring>
#include <random>
#include <string>

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
        // Either mark, whatever the user's separator.
        {"2.1", '.', true, 2.1L},
        {"2,1", ',', true, 2.1L},
        {"2,1", '.', true, 2.1L},
        {"2.1", ',', true, 2.1L},
        {",5", '.', true, 0.5L},
        {"1,5e2", '.', true, 150},
        // Still one mark at most: no thousands separators.
        {"1.234,5", ',', false, 0},
        {"1,234.5", '.', false, 0},
        {"1,2,3", ',', false, 0},
        {"-0.5", '.', true, -0.5L},
        {".5", '.', true, 0.5L},
        {"5.", '.', true, 5},
        {"1E3", '.', true, 1000},
        {"1.5e-2", '.', true, 0.015L},
        {" 4 ", '.', true, 4},
        {"", '.', false, 0},
        {"abc", '.', false, 0},
        {"1e", '.', false, 0},
        {".", '.', false, 0},
        {"1e999", '.', false, 0},
        {"0x10", '.', false, 0},
        {"nan", '.', false, 0},
        {"inf", '.', false, 0},
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
    EXPECT_THROW_MSG(ToInteger("x"), ConversionError, "'x' is not a valid integer value");
    EXPECT_THROW_MSG(ToDecimal("1;5", '.'), ConversionError,
                     "'1;5' is not a valid floating point value");
}

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

TEST(NumberConversionTest, OffendingTextIsShortenedAndItsControlCharactersEscaped) {
    const std::string sixty(60, '7');
    const struct {
        std::string Text;
        std::string Quoted;
    } cases[] = {
        {"", ""},
        {sixty, sixty},
        {sixty + "8", sixty + "…"},
        // Characters, not bytes: sixty accented letters stay whole.
        {std::string(30, 'a') + Repeat("ñ", 31), std::string(30, 'a') + Repeat("ñ", 30) + "…"},
        {std::string("1\0002", 3), "1\\x002"},
        {"a\tb\r\nc\x7F", "a\\x09b\\x0D\\x0Ac\\x7F"},
        // C1 controls (undefined bytes of the study file's code page) and a
        // byte that is no UTF-8.
        {"\xC2\x81x\xFFy", "\\u0081x\\xFFy"},
        {"€5", "€5"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(QuotedText(c.Text), c.Quoted) << c.Text;
        EXPECT_THROW_MSG(ToInteger(c.Text), ConversionError,
                         "'" + c.Quoted + "' is not a valid integer value");
    }
    // The message of a long text stays short.
    EXPECT_THROW_MSG(ToDecimal(std::string(100000, '9') + "x", '.'), ConversionError,
                     "'" + std::string(60, '9') + "…' is not a valid floating point value");
}

// Every decimal is the value that the C library's correctly rounded
// conversion gives, bit for bit, whatever its length and digits.
TEST(NumberConversionTest, DecimalsAgreeWithTheLibraryConversion) {
    std::mt19937_64 random(20261209);
    for (int k = 0; k < 200000; ++k) {
        std::string text = k % 2 ? "-" : "";
        const int whole = static_cast<int>(random() % 12),
                  decimals = static_cast<int>(random() % 30);
        for (int i = 0; i < whole; ++i)
            text += static_cast<char>('0' + random() % 10);
        if (whole == 0 || decimals > 0) text += '.';
        for (int i = 0; i < decimals; ++i)
            text += static_cast<char>('0' + random() % (k % 7 ? 10 : 2));
        if (whole == 0 && decimals == 0) text += '7';
        long double expected = 0;
        std::from_chars(text.data(), text.data() + text.size(), expected);
        const long double value = ToDecimal(text, '.');
        ASSERT_EQ(std::memcmp(&value, &expected, 10), 0) << text;
    }
}

} // namespace
} // namespace valdex
