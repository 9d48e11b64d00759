#include <gtest/gtest.h>

#include "store/Cipher.h"
#include "store/MemberName.h"
#include "store/MemberSession.h"
#include "store/NewMember.h"

namespace {

std::string repeated(const std::string& s, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += s;
    }
    return out;
}

TEST(MemberName, RefusesNamesThatAreNoPlainFolderName) {
    struct Case {
        std::string name;
        bool refused;
        // Windows counts a name in UTF-16 units, of which these take fewer than bytes of UTF-8.
        bool fitsInUtf16 = false;
    };
    const Case cases[] = {
        {"Garden", false},
        {"Zo\xC3\xAB", false},                       // an accented letter is a fine folder name
        {"\xD0\x90\xD0\xBD\xD0\xBD\xD0\xB0", false}, // so is a name in any script: Анна
        {"\xE6\x97\xA5\xE8\xA8\x98", false},         // 日記
        {"Ann Lee", false},                          // blanks inside
        {" Ann", false},                             // and before the name
        {"Ann ", true},                              // not after it: Windows drops them
        {"Ann.", true},                              // nor a dot
        {"<b>Bob", true},                            // characters Windows refuses
        {"a:b", true},                               //
        {"why?", true},                              //
        {"CON", true},                               // a device on Windows
        {"lpt1.txt", true},                          //
        {"Console", false},                          //
        {"a.b", false},                              // a dot inside
        {"...", true},                               // starts with a dot: hidden here
        {"x", false},                                // one character
        {"", true},                                  // nothing to make a folder of
        {".", true},                                 // the application folder itself
        {"..", true},                                // the folder above it
        {"a/b", true},                               // would reach into a subfolder
        {"../evil", true},                           // would reach out of the application folder
        {"/etc", true},                              // absolute
        {"a\\b", true},                              // the other separator
        {"tab\there", true},                         // control characters
        {std::string("nul\0x", 5), true},
        {"line\rbreak", true},
        {"del\x7F", true},
        {"c1\xC2\x81", true}, // a C1 control
        {".hidden", true},    // a hidden folder here, never listed as a member
        {std::string(255, 'a'), false},
        {std::string(256, 'a'), true},
        {repeated("\xC3\xA9", 127), false},              // two bytes each on the disk: 254
        {repeated("\xC3\xA9", 128), true, true},         // 256
        {"\xE2\x82\xAC" + std::string(252, 'a'), false}, // the euro sign takes three bytes
        {"\xE2\x82\xAC" + std::string(253, 'a'), true, true},
    };
    for (const Case& c : cases) {
        const auto problem = memberNameProblem(c.name);
#ifdef _WIN32
        const bool refused = c.refused && !c.fitsInUtf16;
#else
        const bool refused = c.refused;
#endif
        EXPECT_EQ(problem.has_value(), refused) << "name of " << c.name.size() << " bytes: " << c.name;
        if (problem) {
            EXPECT_FALSE(problem->empty());
            EXPECT_EQ(problem->back(), '.');
        }
    }
}

TEST(MemberName, ReasonsSayWhatIsWrong) {
    EXPECT_EQ(*memberNameProblem("<b>Bob"), "it holds \"<\" and \">\", which Windows does not allow in a folder name.");
    EXPECT_EQ(*memberNameProblem("a|b*c|"), "it holds \"|\" and \"*\", which Windows does not allow in a folder name.");
    EXPECT_EQ(*memberNameProblem("Ann "), "it ends with a space, which Windows drops from a folder name.");
    EXPECT_NE(memberNameProblem("a/b")->find("\"/\""), std::string::npos);
    EXPECT_NE(memberNameProblem("a\tb")->find("control character"), std::string::npos);
    EXPECT_NE(memberNameProblem("..")->find("\"..\""), std::string::npos);
    EXPECT_NE(memberNameProblem(std::string(300, 'a'))->find("300 bytes"), std::string::npos);
}

TEST(NewMember, InitialPasswordIsTheFirstFourCharacters) {
    EXPECT_EQ(initialPassword("Garden"), "Gard");
    EXPECT_EQ(initialPassword("Al"), "Al");
    EXPECT_EQ(initialPassword("Anna"), "Anna");
    EXPECT_EQ(initialPassword("Zo\xC3\xAB"), "Zo\xC3\xAB");
    EXPECT_EQ(initialPassword("a b c"), "a b ");
    // Four characters, however many bytes each takes: "Анна" of "Анна Ли".
    EXPECT_EQ(initialPassword("\xD0\x90\xD0\xBD\xD0\xBD\xD0\xB0 \xD0\x9B\xD0\xB8"), "\xD0\x90\xD0\xBD\xD0\xBD\xD0\xB0");
    EXPECT_EQ(initialPassword("\xF0\x9F\x98\x80\xF0\x9F\x98\x80xyz"), "\xF0\x9F\x98\x80\xF0\x9F\x98\x80xy");
}

TEST(NewMember, KeyIsTheClassicDraw) {
    // 31 r + 100, integer part.
    const std::pair<double, int> draws[] = {{0.0, 100}, {0.03, 100},      {1.0 / 31, 101},
                                            {0.5, 115}, {30.0 / 31, 130}, {0.999999, 130}};
    for (const auto& [r, key] : draws) {
        EXPECT_EQ(chooseMemberKey(r), key) << "r = " << r;
    }
    // Every key can come up, each for an equal share of the draws.
    int count[Cipher::kMaxKey + 1] = {};
    for (int i = 0; i < 31 * 100; ++i) {
        ++count[chooseMemberKey((i + 0.5) / (31 * 100))];
    }
    for (int key = Cipher::kMinKey; key <= Cipher::kMaxKey; ++key) {
        EXPECT_EQ(count[key], 100) << key;
    }
}

TEST(NewMember, EveryKeyStoresEveryPasswordAsTyped) {
    const std::string passwords[] = {
        "Gard",   "\xE2\x82\xACuro", "Zo\xC3\xAB", "\xC3\x89l\xC3\xA9o", "\xC5\x93", "\xD0\x90\xD0\xBD\xD0\xBD\xD0\xB0",
        "&#233;x"};
    for (const std::string& password : passwords) {
        for (int key = Cipher::kMinKey; key <= Cipher::kMaxKey; ++key) {
            const std::string stored = Cipher::encryptWithKey(password, key);
            for (char c : stored) {
                ASSERT_GE(static_cast<unsigned char>(c), key);
            }
            // A typed reference to a character the key cannot store is the one thing that
            // does not read back as typed.
            const std::string back = Cipher::decryptWithKey(stored, key);
            EXPECT_EQ(back, password == "&#233;x" ? "\xC3\xA9x" : password) << password << " under " << key;
        }
    }
}

} // namespace
