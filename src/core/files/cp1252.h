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

} // namespace valdex
