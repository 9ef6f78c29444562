#include "base/app_error.h"

#include <cstdio>

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

// Length of the valid UTF-8 sequence at text[pos] and its code point; 0 for
// a byte that starts none.
std::size_t Utf8Sequence(std::string_view text, std::size_t pos, char32_t& cp) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length;
    char32_t minimum;
    if (lead < 0x80) {
        cp = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, cp = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, cp = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, cp = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (text.size() - pos < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return length;
}

void AppendEscape(std::string& out, const char* format, unsigned value) {
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, format, value);
    out += escaped;
}

} // namespace

namespace {

// The text with its control characters and invalid bytes escaped, at most
// `most` characters of it; "…" when it was cut.
std::string Escaped(std::string_view text, std::size_t most) {
    std::string out;
    std::size_t pos = 0;
    for (std::size_t shown = 0; pos < text.size() && shown < most; ++shown) {
        // A run of printable ASCII, most of any text, goes as it is.
        std::size_t run = pos;
        while (run < text.size() && run - pos < most - shown && text[run] >= 0x20 &&
               text[run] < 0x7F)
            ++run;
        if (run > pos) {
            out.append(text.substr(pos, run - pos));
            shown += run - pos - 1;
            pos = run;
            continue;
        }
        char32_t cp = 0;
        const std::size_t length = Utf8Sequence(text, pos, cp);
        if (length == 0) {
            AppendEscape(out, "\\x%02X", static_cast<unsigned char>(text[pos]));
            ++pos;
        } else if (cp < 0x20 || cp == 0x7F) {
            AppendEscape(out, "\\x%02X", static_cast<unsigned>(cp));
            pos += length;
        } else if (cp >= 0x80 && cp <= 0x9F) {
            AppendEscape(out, "\\u%04X", static_cast<unsigned>(cp));
            pos += length;
        } else {
            out.append(text.substr(pos, length));
            pos += length;
        }
    }
    if (pos < text.size()) out += "…";
    return out;
}

} // namespace

std::string QuotedText(std::string_view text) {
    return Escaped(text, kQuotedTextLength);
}

std::string DisplayText(std::string_view text) {
    return Escaped(text, std::string_view::npos);
}

std::string ErrorBoxText(std::string_view message) {
    std::string text(message);
    if (IsLetterOrDigit(LastCodePoint(message))) text += '.';
    return text;
}

} // namespace valdex
