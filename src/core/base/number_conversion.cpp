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

// Accepts [sign] digits [sep digits] [(E|e) [sign] digits], with at least one
// mantissa digit; rewrites it with a point for from_chars.
bool ParseDecimal(std::string_view text, char separator, long double& value) {
    text = Trim(text);
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
