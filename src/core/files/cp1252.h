#pragma once
// Windows-1252, the code page of the study files, and UTF-8, the text of the
// program. Every byte decodes to one character: the five bytes the code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control
// characters of the same number, so any file survives a read and a write.

#include <optional>
#include <string>
#include <string_view>

namespace valdex {

std::string Cp1252ToUtf8(std::string_view bytes);

// Empty when the text is not valid UTF-8 or holds a character that the code
// page cannot store.
std::optional<std::string> Utf8ToCp1252(std::string_view text);

// True when the text, read from Windows-1252, is UTF-8 that was taken byte
// by byte ("RegresiÃ³n" for "Regresión"): its bytes are valid UTF-8 with at
// least one character beyond ASCII. Text truly written in Windows-1252 with
// accents is never valid UTF-8 that way but in contrived cases.
bool LooksLikeUtf8ReadAsCp1252(std::string_view text);

} // namespace valdex
