#pragma once
// The one rule by which study texts become numbers, used by every part of the
// program. Blanks around the number are allowed; a sign is optional; decimal
// numbers take a decimal mark ("," or ".", besides the user's separator) and
// an optional exponent (E or e).

#include <string_view>

namespace valdex {

// Whole number in the range of a 32-bit integer. Throws ConversionError
// "'<text>' is not a valid integer value".
int ToInteger(std::string_view text);

// Decimal number. Throws ConversionError
// "'<text>' is not a valid floating point value".
long double ToDecimal(std::string_view text, char decimalSeparator);

bool IsInteger(std::string_view text);
bool IsDecimal(std::string_view text, char decimalSeparator);

// The decimal separator of the user's locale (LC_NUMERIC); "." in the C locale.
char LocaleDecimalSeparator();

} // namespace valdex
