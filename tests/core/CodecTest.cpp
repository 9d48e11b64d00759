#include <gtest/gtest.h>

#include "platform/core/Cp1252.h"
#include "platform/core/TextReplace.h"
#include "store/Cipher.h"
#include "store/CipherError.h"
#include "store/MemberSession.h"

namespace {

std::string bytes(std::initializer_list<int> codes) {
    std::string s;
    for (int c : codes) {
        s += static_cast<char>(c);
    }
    return s;
}

TEST(Codec, KnownExamples) {
    EXPECT_EQ(Cipher::encryptWithKey("a b", 100), bytes({197, 132, 198}));
    EXPECT_EQ(Cipher::encryptWithKey("\t", 100), bytes({109}));
    EXPECT_EQ(Cipher::encryptFixed(" 115"), bytes({160, 177, 177, 181}));
    EXPECT_EQ(Cipher::encryptWithKey("", 100), "");
    EXPECT_EQ(Cipher::decryptWithKey("", 100), "");
    // Blanks are shifted like any other character, never left as blanks.
    EXPECT_EQ(Cipher::encryptWithKey(" \t", 100), bytes({132, 109}));
}

TEST(Codec, EveryStorableCodeRoundTripsUnderEveryKey) {
    for (int key = Cipher::kMinKey; key <= Cipher::kMaxKey; ++key) {
        std::string codes;
        for (int c = 0; c <= 255 - key; ++c) {
            codes += static_cast<char>(c);
        }
        // Each code stands for its Windows-1252 character and is stored as one byte.
        const std::string text = platform::cp1252ToUtf8(codes);
        const std::string enc = Cipher::encryptWithKey(text, key);
        ASSERT_EQ(enc.size(), codes.size());
        for (std::size_t i = 0; i < enc.size(); ++i) {
            ASSERT_EQ(static_cast<unsigned char>(enc[i]), static_cast<unsigned char>(codes[i]) + key);
        }
        ASSERT_EQ(Cipher::decryptWithKey(enc, key), text) << "key " << key;
    }
}

TEST(Codec, CharacterBeyondTheKeyIsStoredAsAReference) {
    // With key 130 codes above 125 cannot be stored as themselves; the line stays decipherable
    // and gives the character back.
    const std::string enc = Cipher::encryptWithKey("a\xC3\xA9"
                                                   "b",
                                                   130);
    std::string expected;
    for (char c : std::string("a&#233;b")) {
        expected += static_cast<char>(c + 130);
    }
    EXPECT_EQ(enc, expected);
    EXPECT_EQ(Cipher::decryptWithKey(enc, 130), "a\xC3\xA9"
                                                "b");
}

TEST(Codec, FailuresReturnNothing) {
    EXPECT_THROW(Cipher::decryptWithKey(bytes({200, 99, 200}), 100), CipherError);
    EXPECT_THROW(Cipher::decryptFixed(bytes({127})), CipherError);
    EXPECT_THROW(Cipher::encryptFixed(bytes({128})), CipherError);
}

// Deciphering appends to what the caller holds, and the text is read in pieces: a byte below
// the key, or a reference, in any piece of a long text counts as if the text were one piece,
// and a text that cannot be read leaves what was held as it was.
TEST(Codec, DecipheringAppendsAndReadsLongTextsWhole) {
    constexpr int key = 120;
    const std::string longPlain(10000, 'x');
    struct Case {
        const char* what;
        std::string stored;
        bool readable;
        std::string text; // after "held:"
        bool decoded;
    };
    auto stored = [](const std::string& text) { return Cipher::encryptWithKey(text, key); };
    std::string damagedLate = stored(longPlain);
    damagedLate[9000] = static_cast<char>(key - 1);
    std::string referenceAcross = stored(std::string(4093, 'x') + "\xE2\x98\x83");
    const Case cases[] = {
        {"nothing", "", true, "", false},
        {"plain ASCII", stored("went home"), true, "went home", false},
        {"a long plain text", stored(longPlain), true, longPlain, false},
        {"a byte beyond ASCII", stored("caf\xC3\xA9"), true, "caf\xC3\xA9", true},
        {"a reference over the end of a piece", referenceAcross, true, std::string(4093, 'x') + "\xE2\x98\x83", true},
        {"an ampersand typed as it stands", stored("salt & pepper"), true, "salt & pepper", true},
        {"a byte below the key late in a long text", damagedLate, false, "", false},
        {"a byte below the key first", bytes({key - 1, key + 1}), false, "", false},
        // Texts of a few bytes and the last bytes of longer ones are read as carefully as the rest.
        {"a byte beyond ASCII last of seventeen", stored("sixteen letters \xC3\xA9"), true, "sixteen letters \xC3\xA9",
         true},
        {"an ampersand last of sixteen", stored("fifteen letters&"), true, "fifteen letters&", true},
        {"a byte below the key last of seventeen", stored("sixteen letters x").substr(0, 16) + bytes({key - 1}), false,
         "", false},
        {"a byte below the key in a short text", bytes({key + 1, key - 1, key + 1}), false, "", false},
        {"a short plain text", stored("ok"), true, "ok", false},
    };
    for (const Case& c : cases) {
        std::string out = "held:";
        bool decoded = !c.decoded;
        EXPECT_EQ(Cipher::appendDeciphered(out, c.stored, key, &decoded), c.readable) << c.what;
        EXPECT_EQ(out, c.readable ? "held:" + c.text : "held:") << c.what;
        if (c.readable) {
            EXPECT_EQ(decoded, c.decoded) << c.what;
        }
    }
}

TEST(Codec, KeyLinesOfEveryKey) {
    for (int key = Cipher::kMinKey; key <= Cipher::kMaxKey; ++key) {
        const std::string text = " " + std::to_string(key);
        const std::string enc = Cipher::encryptFixed(text);
        ASSERT_EQ(enc.size(), 4u);
        for (char c : enc) {
            ASSERT_GE(static_cast<unsigned char>(c), 160);
        }
        ASSERT_EQ(Cipher::decryptFixed(enc), text);
    }
}

TEST(Codec, ReplaceChar) {
    struct Case {
        const char* text;
        const char* find;
        const char* with;
        const char* expected;
    };
    const Case cases[] = {
        {"a,b,c", ",", ";", "a;b;c"}, {"no commas", ",", ";", "no commas"},
        {",,,", ",", ";", ";;;"},     {"one\ntwo\r\n", "\n", " ", "one two\r "},
        {"", ",", ";", ""},           {"abab", "ab", "x", "xx"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::replaceText(c.text, c.find, c.with), c.expected) << c.text;
    }
}

} // namespace
