#include "calc/format_general.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace valdex {

namespace {

struct Digits {
    std::string digits; // d1 ... dk, no trailing zeros
    int exponent = 0;   // value = 0.d1...dk x 10^exponent
};

// The value's own decimal digits, cut to `precision` significant digits and
// rounded half up on the digit after the last one kept.
Digits ShortenedDigits(double magnitude, int precision) {
    // glibc prints the exact decimal expansion; 80 digits leave the digit
    // that decides the rounding untouched by printf's own rounding.
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%.80e", magnitude);
    std::string mantissa;
    const char* p = buffer;
    // The locale may print its own decimal point; keep the digits only.
    for (; *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') mantissa += *p;
    int exponent = std::atoi(p + 1) + 1; // d.ddd x 10^e = 0.dddd x 10^(e+1)

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

} // namespace valdex
