#pragma once
// The number-to-text rule of every result text: at most `precision`
// significant digits, fixed or scientific notation by the decimal exponent.

#include <string>

namespace valdex {

inline constexpr int kPrecision8 = 8; // Slope, its two limits and R2
inline constexpr int kPrecision6 = 6; // every other result

std::string FormatGeneral(double value, int precision, char decimalSeparator);

} // namespace valdex
