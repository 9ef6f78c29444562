#include "base/app_error.h"

namespace valdex {

namespace {

// Last code point of a UTF-8 text (0 for an empty text).
char32_t LastCodePoint(std::string_view text) {
    if (text.empty()) return 0;
    std::size_t start = text.size() - 1;
    while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
        --start;
    const auto lead = static_cast<unsigned char>(text[start]);
    if (lead < 0x80) return lead;
    int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
    char32_t cp = lead & (0x3F >> extra);
    for (std::size_t i = start + 1; i < text.size(); ++i)
        cp = (cp << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
    return cp;
}

bool IsLetterOrDigit(char32_t cp) {
    if (cp < 0x80)
        return (cp >= '0' && cp <= '9') || (cp >= 'a' && cp <= 'z') || (cp >= 'A' && cp <= 'Z');
    // Latin-1 letters (á, é, ñ, ...) except the multiplication and division signs.
    return cp >= 0xC0 && cp <= 0x24F && cp != 0xD7 && cp != 0xF7;
}

} // namespace

std::string ErrorBoxText(std::string_view message) {
    std::string text(message);
    if (IsLetterOrDigit(LastCodePoint(message))) text += '.';
    return text;
}

} // namespace valdex
