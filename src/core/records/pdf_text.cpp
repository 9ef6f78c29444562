// The strings of a PDF: text strings in UTF-16BE, literal byte strings.

#include "records/pdf_file.h"

#include <cctype>

namespace valdex::pdf {

std::string TextString(const std::string& utf8) {
    static const char* hex = "0123456789ABCDEF";
    std::string out = "<FEFF";
    auto unit = [&out](unsigned u) {
        for (int shift = 12; shift >= 0; shift -= 4)
            out += hex[(u >> shift) & 0xF];
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        unsigned code = c;
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (extra) code = c & (0x3F >> extra);
        ++i;
        for (; extra > 0 && i < utf8.size(); --extra, ++i)
            code = (code << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
        if (code >= 0x10000) {
            code -= 0x10000;
            unit(0xD800 + (code >> 10));
            unit(0xDC00 + (code & 0x3FF));
        } else {
            unit(code);
        }
    }
    return out + ">";
}

std::string ByteString(const std::string& bytes) {
    std::string out = "(";
    for (char c : bytes) {
        if (c == '(' || c == ')' || c == '\\') out += '\\';
        out += c;
    }
    return out + ")";
}

std::string ReadTextString(const Object& string) {
    const std::string& raw = string.text;
    std::string bytes;
    if (raw.size() >= 2 && raw.front() == '<') {
        std::string digits;
        for (char c : raw.substr(1, raw.size() - 2))
            if (std::isxdigit(static_cast<unsigned char>(c))) digits += c;
        if (digits.size() % 2) digits += '0';
        for (std::size_t i = 0; i < digits.size(); i += 2)
            bytes += static_cast<char>(std::stoi(digits.substr(i, 2), nullptr, 16));
    } else if (raw.size() >= 2) {
        for (std::size_t i = 1; i + 1 < raw.size(); ++i) {
            if (raw[i] == '\\' && i + 2 < raw.size()) ++i;
            bytes += raw[i];
        }
    }
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
        static_cast<unsigned char>(bytes[1]) == 0xFF) {
        std::string out;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            unsigned u = (static_cast<unsigned char>(bytes[i]) << 8) |
                         static_cast<unsigned char>(bytes[i + 1]);
            if (u >= 0xD800 && u < 0xDC00 && i + 3 < bytes.size()) {
                const unsigned low = (static_cast<unsigned char>(bytes[i + 2]) << 8) |
                                     static_cast<unsigned char>(bytes[i + 3]);
                u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
            if (u < 0x80) {
                out += static_cast<char>(u);
            } else if (u < 0x800) {
                out += static_cast<char>(0xC0 | (u >> 6));
                out += static_cast<char>(0x80 | (u & 0x3F));
            } else if (u < 0x10000) {
                out += static_cast<char>(0xE0 | (u >> 12));
                out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (u & 0x3F));
            } else {
                out += static_cast<char>(0xF0 | (u >> 18));
                out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
                out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (u & 0x3F));
            }
        }
        return out;
    }
    return bytes;
}

} // namespace valdex::pdf
