#pragma once
// The number-to-text rule of every result text: at most `precision`
// significant digits, fixed or scientific notation by the decimal exponent.

#include <string>

namespace valdex {

inline constexpr int kPrecision8 = 8; // Slope, its two limits and R2
inline constexpr int kPrecision6 = 6; // every other result

std::string FormatGeneral(double value, int precision, char decimalSeparator);

// FormatGeneral for prose and pictures: a scientific value is written with a
// power of ten in superscript ("4,4·10⁻⁶", never "4.4E-6"); with unicodeMinus
// every minus sign is U+2212 ("−0,5"), as the plots write them.
std::string FormatProse(double value, int precision, char decimalSeparator,
                        bool unicodeMinus = false);

// The exponent's digits and sign in superscript ("⁻⁶" for -6).
std::string SuperscriptExponent(int exponent);

} // namespace valdex
