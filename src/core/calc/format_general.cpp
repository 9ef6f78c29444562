#include "calc/format_general.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace valdex {

namespace {

struct Digits {
    std::string digits; // d1 ... dk, no trailing zeros
    int exponent = 0;   // value = 0.d1...dk x 10^exponent
};

// The significant digits of the value's exact decimal expansion, at least
// `wanted` of them, and its exponent (d.ddd x 10^exponent).
std::string ExactDigits(double magnitude, int wanted, int& exponent) {
    // Most values: printed correctly rounded with two digits more than wanted,
    // the wanted ones are exact unless a carry reached them, which would
    // leave both extra digits zero.
    {
        char shortBuffer[64];
        auto [end, error] = std::to_chars(shortBuffer, shortBuffer + sizeof shortBuffer, magnitude,
                                          std::chars_format::scientific, wanted + 1);
        if (error == std::errc()) {
            const std::string_view text(shortBuffer, end - shortBuffer);
            // "d.ddd...e+XX": significant digit k (from 0) stands at k + (k > 0).
            const std::size_t ePos = text.find('e');
            if (ePos == static_cast<std::size_t>(wanted) + 3 &&
                (text[wanted + 1] != '0' || text[wanted + 2] != '0')) {
                std::string digits;
                digits.reserve(wanted);
                digits += text[0];
                digits.append(text.substr(2, wanted - 1));
                int value = 0;
                const char* first = text.data() + ePos + 1;
                if (*first == '+') ++first;
                std::from_chars(first, text.data() + text.size(), value);
                exponent = value;
                return digits;
            }
        }
    }
    // Printed with more digits than wanted ("d.ddd...e+XX"), the rounding of
    // the last one reaches the wanted ones only by carrying through a run of
    // nines, which leaves zeros behind; only then is the value printed again
    // in full, which to_chars does exactly.
    char buffer[900];
    const int extra = 24;
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                      std::chars_format::scientific, wanted + extra);
    std::string text(buffer, error == std::errc() ? end : buffer);
    // Significant digit k (from 0) stands at position k + 1 once past the point.
    const std::string tail = text.empty() ? "" : text.substr(wanted + 1, extra + 1);
    if (tail.empty() || tail.find_first_not_of('0') == std::string::npos) {
        const auto full = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                        std::chars_format::scientific, 800);
        text.assign(buffer, full.ptr);
    }
    std::string digits;
    std::size_t i = 0;
    // The C library may print the locale's decimal point; keep the digits only.
    for (; i < text.size() && text[i] != 'e'; ++i)
        if (text[i] >= '0' && text[i] <= '9') digits += text[i];
    exponent = std::atoi(text.c_str() + i + 1);
    return digits;
}

// The value's own decimal digits, cut to `precision` significant digits and
// rounded half up on the digit after the last one kept.
Digits ShortenedDigits(double magnitude, int precision) {
    int exponent = 0;
    const std::string mantissa = ExactDigits(magnitude, precision + 1, exponent);
    ++exponent; // d.ddd x 10^e = 0.dddd x 10^(e+1)

    std::string kept = mantissa.substr(0, precision);
    if (mantissa[precision] >= '5') {
        int i = precision - 1;
        while (i >= 0 && kept[i] == '9')
            kept[i--] = '0';
        if (i >= 0) {
            ++kept[i];
        } else {
            kept.insert(kept.begin(), '1');
            kept.pop_back();
            ++exponent;
        }
    }
    while (kept.size() > 1 && kept.back() == '0')
        kept.pop_back();
    return {kept, exponent};
}

} // namespace

std::string FormatGeneral(double value, int precision, char decimalSeparator) {
    if (value == 0) return "0";
    const Digits d = ShortenedDigits(std::fabs(value), precision);
    const int k = static_cast<int>(d.digits.size());
    const int e = d.exponent;
    std::string text = value < 0 ? "-" : "";
    if (e >= -3 && e <= precision) {
        if (e <= 0) {
            text += '0';
            text += decimalSeparator;
            text.append(-e, '0');
            text += d.digits;
        } else {
            text += d.digits.substr(0, e);
            if (k < e) text.append(e - k, '0');
            if (k > e) {
                text += decimalSeparator;
                text += d.digits.substr(e);
            }
        }
    } else {
        text += d.digits[0];
        if (k > 1) {
            text += decimalSeparator;
            text += d.digits.substr(1);
        }
        text += 'E';
        text += std::to_string(e - 1);
    }
    return text;
}

std::string SuperscriptExponent(int exponent) {
    static const char* const kDigits[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};
    std::string text = exponent < 0 ? "⁻" : "";
    const std::string digits =
        std::to_string(exponent < 0 ? -static_cast<long>(exponent) : static_cast<long>(exponent));
    for (char c : digits)
        text += kDigits[c - '0'];
    return text;
}

std::string FormatProse(double value, int precision, char decimalSeparator, bool unicodeMinus) {
    std::string text = FormatGeneral(value, precision, decimalSeparator);
    const std::size_t e = text.find('E');
    if (e != std::string::npos) {
        const int exponent = std::atoi(text.c_str() + e + 1);
        text = text.substr(0, e) + "·10" + SuperscriptExponent(exponent);
    }
    if (unicodeMinus && !text.empty() && text[0] == '-') text.replace(0, 1, "−");
    return text;
}

} // namespace valdex
