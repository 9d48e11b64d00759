#include <gtest/gtest.h>

#include "store/CipherError.h"
#include "store/Module1.h"

namespace {

std::string bytes(std::initializer_list<int> codes) {
    std::string s;
    for (int c : codes) {
        s += static_cast<char>(c);
    }
    return s;
}

TEST(Codec, KnownExamples) {
    EXPECT_EQ(Module1::EncryptWithKey("a b", 100), bytes({197, 132, 198}));
    EXPECT_EQ(Module1::EncryptWithKey("\t", 100), bytes({109}));
    EXPECT_EQ(Module1::EncryptFixed(" 115"), bytes({160, 177, 177, 181}));
    EXPECT_EQ(Module1::EncryptWithKey("", 100), "");
    EXPECT_EQ(Module1::DecryptWithKey("", 100), "");
    // Blanks are shifted like any other character, never left as blanks.
    EXPECT_EQ(Module1::EncryptWithKey(" \t", 100), bytes({132, 109}));
}

TEST(Codec, EveryStorableCodeRoundTripsUnderEveryKey) {
    for (int key = Module1::kMinKey; key <= Module1::kMaxKey; ++key) {
        std::string all;
        for (int c = 0; c <= 255 - key; ++c) {
            all += static_cast<char>(c);
        }
        const std::string enc = Module1::EncryptWithKey(all, key);
        ASSERT_EQ(enc.size(), all.size());
        for (char c : enc) {
            ASSERT_GE(static_cast<unsigned char>(c), key);
        }
        ASSERT_EQ(Module1::DecryptWithKey(enc, key), all) << "key " << key;
    }
}

TEST(Codec, CharacterBeyondTheKeyIsStoredAsQuestionMark) {
    // With key 130 codes above 125 cannot be stored; the line stays decipherable.
    const std::string enc = Module1::EncryptWithKey(bytes({'a', 0xE9, 'b'}), 130);
    EXPECT_EQ(enc, bytes({'a' + 130, '?' + 130, 'b' + 130}));
    EXPECT_EQ(Module1::DecryptWithKey(enc, 130), "a?b");
    EXPECT_FALSE(Module1::FitsKey(bytes({0xE9}), 130));
    EXPECT_TRUE(Module1::FitsKey(bytes({0xE9}), 22));
}

TEST(Codec, FailuresReturnNothing) {
    EXPECT_THROW(Module1::DecryptWithKey(bytes({200, 99, 200}), 100), CipherError);
    EXPECT_THROW(Module1::DecryptFixed(bytes({127})), CipherError);
    EXPECT_THROW(Module1::EncryptFixed(bytes({128})), CipherError);
}

TEST(Codec, KeyLinesOfEveryKey) {
    for (int key = Module1::kMinKey; key <= Module1::kMaxKey; ++key) {
        const std::string text = " " + std::to_string(key);
        const std::string enc = Module1::EncryptFixed(text);
        ASSERT_EQ(enc.size(), 4u);
        for (char c : enc) {
            ASSERT_GE(static_cast<unsigned char>(c), 160);
        }
        ASSERT_EQ(Module1::DecryptFixed(enc), text);
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
        EXPECT_EQ(Module1::ReplaceChar(c.text, c.find, c.with), c.expected) << c.text;
    }
}

} // namespace
