#include "files/cp1252.h"

#include <gtest/gtest.h>

namespace valdex {
namespace {

TEST(Cp1252Test, SpanishAndPunctuationCharactersAreSingleBytes) {
    const struct {
        const char* Utf8;
        const char* Byte;
    } cases[] = {
        {"á", "\xE1"}, {"é", "\xE9"}, {"í", "\xED"}, {"ó", "\xF3"}, {"ú", "\xFA"},
        {"ñ", "\xF1"}, {"Ñ", "\xD1"}, {"ü", "\xFC"}, {"¿", "\xBF"}, {"¡", "\xA1"},
        {"€", "\x80"}, {"„", "\x84"}, {"…", "\x85"}, {"Ÿ", "\x9F"}, {"°", "\xB0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Utf8);
        EXPECT_EQ(Utf8ToCp1252(c.Utf8), std::string(c.Byte));
        EXPECT_EQ(Cp1252ToUtf8(c.Byte), c.Utf8);
    }
}

TEST(Cp1252Test, EveryByteSurvivesDecodingAndEncoding) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(Cp1252Test, UndefinedBytesBecomeControlCharactersOfTheSameNumber) {
    EXPECT_EQ(Cp1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\u0081\u008D\u008F\u0090\u009D");
}

TEST(Cp1252Test, RefusesWhatTheCodePageCannotHoldAndMalformedText) {
    const char* cases[] = {
        "中",           "→", "😀",
        "\u0080",       // the byte 0x80 is the euro sign, not this control
        "\xC3",         // cut sequence
        "\xC0\xAF",     // overlong slash
        "\xED\xA0\x80", // surrogate
        "\xFF",
    };
    for (const char* text : cases) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(Utf8ToCp1252(std::string("ok ") + text).has_value());
    }
}

TEST(Cp1252Test, Utf8ReadAsTheCodePageIsRecognised) {
    const struct {
        std::string FileBytes; // as the file holds them
        bool Misread;
    } cases[] = {
        {"Regresi\xC3\xB3n", true}, // "Regresión" saved as UTF-8
        {"\xC2\xB5g/mL", true},     // "µg/mL"
        {"\xE2\x82\xAC", true},     // "€"
        {"Regresi\xF3n", false},    // the code page's own "ó"
        {"Regresion", false},       // ASCII reads the same either way
        {"", false},
        {"\xC3\xB3\xF3", false},  // a UTF-8 pair beside a lone code page byte
        {"\xC1rea \xB5g", false}, // "Área µg"
        {"Ordenada al Origen", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.FileBytes);
        EXPECT_EQ(LooksLikeUtf8ReadAsCp1252(Cp1252ToUtf8(c.FileBytes)), c.Misread);
    }
}

} // namespace
} // namespace valdex
