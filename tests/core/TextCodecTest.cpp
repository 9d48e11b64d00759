#include <gtest/gtest.h>

#include "platform/core/Cp1252.h"
#include "platform/core/Unicode.h"
#include "store/TextCodec.h"

namespace {

TEST(TextCodec, Windows1252HighBytesAndTheFiveUndefinedOnes) {
    // 0x80 to 0x9F; the five bytes the code page leaves undefined stand for the C1 controls of
    // the same value, so every byte survives the way there and back.
    const char32_t expected[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    for (int byte = 0x80; byte <= 0x9F; ++byte) {
        SCOPED_TRACE(byte);
        EXPECT_EQ(platform::cp1252ToUnicode(static_cast<unsigned char>(byte)), expected[byte - 0x80]);
        EXPECT_EQ(platform::unicodeToCp1252(expected[byte - 0x80]), byte);
    }
    EXPECT_EQ(platform::unicodeToCp1252(U'é'), 0xE9);
    EXPECT_EQ(platform::unicodeToCp1252(U'日'), -1);
}

TEST(TextCodec, WhatEachKeyStoresAndTheReferencesForTheRest) {
    struct Case {
        int key;
        std::string text;
        std::string storable; // before the shift
    };
    const Case cases[] = {
        {100, "Went to the market", "Went to the market"},
        {130, "Went to the market", "Went to the market"},
        {100, "\xE2\x80\xBA", "\x9B"},     // 155 + 100 = 255: stored as it is
        {100, "\xC5\x93", "&#339;"},       // 156 ("oe") does not fit under 100
        {130, "}", "}"},                   // 125 + 130 = 255
        {130, "~", "&#126;"},              // 126 does not fit under 130
        {100, "\xE2\x82\xAC", "\x80"},     // the euro sign fits under keys up to 127
        {130, "\xE2\x82\xAC", "&#8364;"},  // and is a reference above
        {100, "caf\xC3\xA9", "caf&#233;"}, // no accented letter fits under any key
        {100, "\xE6\x97\xA5\xE8\xA8\x98", "&#26085;&#35352;"},
        {130, "\xE2\x98\x95", "&#9749;"},       // a cup of coffee
        {100, "\xF0\x9F\x98\x80", "&#128512;"}, // outside the basic plane: one reference
        {100, "&#65;", "&#65;"},                // typed as it stands
        {100, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text + " under " + std::to_string(c.key));
        EXPECT_EQ(storableText(c.text, c.key), c.storable);
        EXPECT_EQ(textFromStorable(c.storable, c.key), c.text);
        for (char stored : storableText(c.text, c.key)) {
            EXPECT_LE(static_cast<unsigned char>(stored) + c.key, 255);
        }
    }
}

TEST(TextCodec, OnlyReferencesTheKeyCouldNotHaveStoredAreTurnedBack) {
    struct Case {
        std::string storable;
        std::string text;
    };
    const Case cases[] = {
        {"&#233;", "\xC3\xA9"},         // a reference Jotterel writes
        {"&#65;", "&#65;"},             // "A" fits: somebody typed this
        {"&#126;", "&#126;"},           // "~" fits under 100
        {"&#0233;", "&#0233;"},         // never written with a leading zero
        {"&#x41;", "&#x41;"},           // nor in hexadecimal
        {"&#;", "&#;"},                 //
        {"&#233", "&#233"},             // no ";"
        {"&#1114112;", "&#1114112;"},   // beyond Unicode
        {"&#55296;", "&#55296;"},       // half of a surrogate pair
        {"&#12345678;", "&#12345678;"}, // too many digits
        {"&&#233;;", "&\xC3\xA9;"},     //
        {"&#233;&#233;", "\xC3\xA9\xC3\xA9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.storable);
        EXPECT_EQ(textFromStorable(c.storable, 100), c.text);
    }
}

TEST(TextCodec, CharactersAndCaseFolding) {
    EXPECT_EQ(platform::characterCount("K\xC3\xB6ln \xF0\x9F\x98\x80"), 6u);
    EXPECT_EQ(platform::firstCharacters("\xD0\x90\xD0\xBD\xD0\xBD\xD0\xB0 Lee", 4), "\xD0\x90\xD0\xBD\xD0\xBD\xD0\xB0");
    EXPECT_EQ(platform::firstCharacters("Al", 4), "Al");
    struct Case {
        std::string a, b;
    };
    const Case same[] = {
        {"K\xC3\x96LN", "k\xC3\xB6ln"},                                                           // KÖLN, köln
        {"\xCE\xA3\xCE\x9F\xCE\xA6\xCE\x8A\xCE\x91", "\xCF\x83\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1"}, // ΣΟΦΊΑ, σοφία
        {"\xD0\x90\xD0\x9D\xD0\x9D\xD0\x90", "\xD0\xB0\xD0\xBD\xD0\xBD\xD0\xB0"},                 // АННА, анна
        {"\xC5\xB8", "\xC3\xBF"},                                                                 // Ÿ, ÿ
    };
    for (const Case& c : same) {
        EXPECT_EQ(platform::foldCase(c.a), platform::foldCase(c.b)) << c.a;
    }
    EXPECT_EQ(platform::foldCase("\xC3\x9F"), "\xC3\x9F"); // simple folding keeps sharp s
    EXPECT_EQ(platform::foldCase("Ab1 \xFF"), "ab1 \xFF"); // a byte that is not UTF-8 stays
}

} // namespace
