#include "base/number_conversion.h"

#include "base/app_error.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <limits>
#include <string>

namespace valdex {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool ParseInteger(std::string_view text, int& value) {
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return false;
    long long magnitude = 0;
    for (char c : text) {
        if (!IsDigit(c)) return false;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > 2147483648LL) return false;
    }
    if (!negative && magnitude > std::numeric_limits<int>::max()) return false;
    value = static_cast<int>(negative ? -magnitude : magnitude);
    return true;
}

// The plain decimals that studies hold ("12.345", "-0,5"): at most 19
// significant digits and 27 decimals, no exponent. Their digits make an
// integer and a power of ten that extended precision holds exactly, so one
// division rounds the quotient as the full conversion would.
bool ParsePlainDecimal(std::string_view text, char separator, long double& value) {
    static constexpr long double kPowers[] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,
                                              1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
                                              1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L, 1e20L,
                                              1e21L, 1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L};
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    unsigned long long mantissa = 0;
    int significant = 0, digits = 0, decimals = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            ++digits;
            if (point) ++decimals;
            if (mantissa != 0 || c != '0') ++significant;
            mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
        } else if (!point && (c == separator || c == '.' || c == ',')) {
            point = true;
        } else {
            return false;
        }
    }
    if (digits == 0 || significant > 19 || decimals > 27) return false;
    value = static_cast<long double>(mantissa) / kPowers[decimals];
    if (negative) value = -value;
    return true;
}

// Accepts [sign] digits [sep digits] [(E|e) [sign] digits], with at least one
// mantissa digit; rewrites it with a point for from_chars.
bool ParseDecimal(std::string_view text, char separator, long double& value) {
    text = Trim(text);
    if (ParsePlainDecimal(text, separator, value)) return true;
    std::string normal;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') normal += '-';
        ++i;
    }
    int mantissaDigits = 0;
    while (i < text.size() && IsDigit(text[i]))
        normal += text[i++], ++mantissaDigits;
    // Either mark is read as the decimal one, whatever the user's locale: a
    // study typed with a comma opens where a point is the separator, and the
    // other way round. No thousands separator is accepted, so neither
    // reading is ambiguous.
    if (i < text.size() && (text[i] == separator || text[i] == '.' || text[i] == ',')) {
        normal += '.';
        ++i;
        while (i < text.size() && IsDigit(text[i]))
            normal += text[i++], ++mantissaDigits;
    }
    if (mantissaDigits == 0) return false;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        normal += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) normal += text[i++];
        int exponentDigits = 0;
        while (i < text.size() && IsDigit(text[i]))
            normal += text[i++], ++exponentDigits;
        if (exponentDigits == 0) return false;
    }
    if (i != text.size()) return false;
    const char* first = normal.data();
    const char* last = first + normal.size();
    auto [end, error] = std::from_chars(first, last, value);
    // A number beyond the range of a double is not a valid value either.
    if (error != std::errc() || end != last || !std::isfinite(value)) return false;
    return std::fabs(value) <= std::numeric_limits<double>::max();
}

} // namespace

int ToInteger(std::string_view text) {
    int value = 0;
    if (!ParseInteger(text, value))
        throw ConversionError("'" + QuotedText(text) + "' is not a valid integer value");
    return value;
}

long double ToDecimal(std::string_view text, char decimalSeparator) {
    long double value = 0;
    if (!ParseDecimal(text, decimalSeparator, value))
        throw ConversionError("'" + QuotedText(text) + "' is not a valid floating point value");
    return value;
}

bool IsInteger(std::string_view text) {
    int value = 0;
    return ParseInteger(text, value);
}

bool IsDecimal(std::string_view text, char decimalSeparator) {
    long double value = 0;
    return ParseDecimal(text, decimalSeparator, value);
}

char LocaleDecimalSeparator() {
    const std::lconv* conventions = std::localeconv();
    if (conventions == nullptr || conventions->decimal_point == nullptr ||
        conventions->decimal_point[0] == '\0' || conventions->decimal_point[1] != '\0')
        return '.';
    return conventions->decimal_point[0];
}

} // namespace valdex
