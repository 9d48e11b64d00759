#include <gtest/gtest.h>

#include "store/MemberName.h"
#include "store/Module1.h"
#include "store/NewMember.h"

namespace {

TEST(MemberName, RefusesNamesThatAreNoPlainFolderName) {
    struct Case {
        std::string name;
        bool refused;
    };
    const Case cases[] = {
        {"Garden", false},
        {"Zo\xEB", false},   // an accented letter is a fine folder name
        {"Ann Lee", false},  // blanks inside
        {" Ann ", false},    // and around the name: the folder keeps them on this system
        {"a.b", false},      // a dot inside
        {"...", true},       // starts with a dot: hidden here
        {"x", false},        // one character
        {"", true},          // nothing to make a folder of
        {".", true},         // the application folder itself
        {"..", true},        // the folder above it
        {"a/b", true},       // would reach into a subfolder
        {"../evil", true},   // would reach out of the application folder
        {"/etc", true},      // absolute
        {"a\\b", true},      // the other separator
        {"tab\there", true}, // control characters
        {std::string("nul\0x", 5), true},
        {"line\rbreak", true},
        {"del\x7F", true},
        {"c1\x81", true},  // a byte the code page leaves undefined: a C1 control
        {".hidden", true}, // a hidden folder here, never listed as a member
        {std::string(255, 'a'), false},
        {std::string(256, 'a'), true},
        {std::string(127, '\xE9'), false},      // two bytes each on the disk: 254
        {std::string(128, '\xE9'), true},       // 256
        {"\x80" + std::string(85, 'a'), false}, // the euro sign takes three bytes
    };
    for (const Case& c : cases) {
        const auto problem = MemberNameProblem(c.name);
        EXPECT_EQ(problem.has_value(), c.refused) << "name of " << c.name.size() << " bytes: " << c.name;
        if (problem) {
            EXPECT_FALSE(problem->empty());
            EXPECT_EQ(problem->back(), '.');
        }
    }
}

TEST(MemberName, ReasonsSayWhatIsWrong) {
    EXPECT_NE(MemberNameProblem("a/b")->find("\"/\""), std::string::npos);
    EXPECT_NE(MemberNameProblem("a\tb")->find("control character"), std::string::npos);
    EXPECT_NE(MemberNameProblem("..")->find("\"..\""), std::string::npos);
    EXPECT_NE(MemberNameProblem(std::string(300, 'a'))->find("300 bytes"), std::string::npos);
}

TEST(NewMember, InitialPasswordIsTheFirstFourCharacters) {
    EXPECT_EQ(InitialPassword("Garden"), "Gard");
    EXPECT_EQ(InitialPassword("Al"), "Al");
    EXPECT_EQ(InitialPassword("Anna"), "Anna");
    EXPECT_EQ(InitialPassword("Zo\xEB"), "Zo\xEB");
    EXPECT_EQ(InitialPassword("a b c"), "a b ");
}

TEST(NewMember, KeyIsTheClassicDrawWhenEveryKeyFits) {
    // 31 r + 100, integer part.
    const std::pair<double, int> draws[] = {{0.0, 100}, {0.03, 100},      {1.0 / 31, 101},
                                            {0.5, 115}, {30.0 / 31, 130}, {0.999999, 130}};
    for (const auto& [r, key] : draws) {
        EXPECT_EQ(ChooseMemberKey("Gard", r), key) << "r = " << r;
    }
    // Every key can come up, each for an equal share of the draws.
    int count[Module1::kMaxKey + 1] = {};
    for (int i = 0; i < 31 * 100; ++i) {
        ++count[ChooseMemberKey("Gard", (i + 0.5) / (31 * 100))];
    }
    for (int key = Module1::kMinKey; key <= Module1::kMaxKey; ++key) {
        EXPECT_EQ(count[key], 100) << key;
    }
}

TEST(NewMember, KeyIsDrawnAmongTheKeysThatStoreThePassword) {
    // The euro sign (128) fits under keys up to 127: 28 keys, evenly drawn.
    const std::string euro = "\x80uro";
    int count[Module1::kMaxKey + 1] = {};
    for (int i = 0; i < 28 * 10; ++i) {
        const int key = ChooseMemberKey(euro, (i + 0.5) / (28 * 10));
        ASSERT_TRUE(Module1::FitsKey(euro, key)) << key;
        ++count[key];
    }
    for (int key = Module1::kMinKey; key <= 127; ++key) {
        EXPECT_EQ(count[key], 10) << key;
    }
    EXPECT_EQ(ChooseMemberKey(euro, 0.999999), 127);
    // 155 fits under 100 alone.
    EXPECT_EQ(ChooseMemberKey("\x9B", 0.0), 100);
    EXPECT_EQ(ChooseMemberKey("\x9B", 0.999999), 100);
}

TEST(NewMember, PasswordToldIsThePasswordStored) {
    struct Case {
        std::string password;
        double r;
        std::string told;
    };
    const Case cases[] = {
        {"Gard", 0.7, "Gard"},       {"\x80uro", 0.999999, "\x80uro"},
        {"Zo\xEB", 0.0, "Zo?"}, // no key stores ë (235): "?" in its place, under any key
        {"Zo\xEB", 0.999999, "Zo?"}, {"\xC9l\xE9o", 0.5, "?l?o"},
        {"\x9C", 0.3, "?"}, // 156 is the first code no key stores
    };
    for (const Case& c : cases) {
        const int key = ChooseMemberKey(c.password, c.r);
        ASSERT_GE(key, Module1::kMinKey);
        ASSERT_LE(key, Module1::kMaxKey);
        const std::string told = PasswordAsStored(c.password, key);
        EXPECT_EQ(told, c.told) << c.password;
        // What is written reads back as exactly what the member is told.
        EXPECT_EQ(Module1::DecryptWithKey(Module1::EncryptWithKey(c.password, key), key), told);
    }
}

} // namespace
