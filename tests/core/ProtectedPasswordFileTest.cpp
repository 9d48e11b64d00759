#include <gtest/gtest.h>
#include <sodium.h>

#include "store/Base64Text.h"
#include "store/DiaryKeys.h"
#include "store/KdfParameters.h"
#include "store/ProtectedFileError.h"
#include "store/ProtectedPasswordFile.h"
#include "support/core/QuickKdf.h"

namespace {

// The body of a password file (its second line), to change a field and seal the check value
// again, as somebody who knows the format could.
std::string bodyOf(const std::string& file) {
    const std::size_t start = file.find("\r\n") + 2;
    std::string body;
    EXPECT_TRUE(bytesOfBase64(file.substr(start, file.find("\r\n", start) - start), body));
    return body;
}

std::string fileWithBody(std::string body, bool newCheckValue) {
    const std::string header = "JOTTEREL-PASSWORD 1";
    if (newCheckValue) {
        const std::string checked = header + body.substr(0, body.size() - 16);
        crypto_generichash(reinterpret_cast<unsigned char*>(body.data() + body.size() - 16), 16,
                           reinterpret_cast<const unsigned char*>(checked.data()), checked.size(), nullptr, 0);
    }
    return header + "\r\n" + base64Text(reinterpret_cast<const unsigned char*>(body.data()), body.size()) + "\r\n";
}

class ProtectedPassword : public ::testing::Test {
protected:
    // A password of letters whose case folds beyond ASCII.
    DiaryKeys keys = DiaryKeys::create(113, "Straße nach Köln", quickKdf());
    std::string file = ProtectedPasswordFile::content(keys, ConversionState::Protected);
};

TEST_F(ProtectedPassword, OpensWithThePasswordInAnyLetterCase) {
    const ProtectedPasswordFile parsed = ProtectedPasswordFile::parse(file);
    EXPECT_EQ(parsed.state(), ConversionState::Protected);
    EXPECT_EQ(parsed.diaryId(), keys.diaryId);
    EXPECT_EQ(parsed.kdf(), quickKdf());
    for (const char* typed : {"Straße nach Köln", "STRAẞE NACH KÖLN", "straße nach köln"}) {
        const auto opened = parsed.open(typed);
        ASSERT_TRUE(opened) << typed;
        EXPECT_EQ(opened->dataKey.view(), keys.dataKey.view());
        EXPECT_EQ(opened->passwordKey.view(), keys.passwordKey.view());
        EXPECT_EQ(opened->classicKey, 113);
        EXPECT_EQ(opened->password.view(), "Straße nach Köln"); // as chosen, whatever was typed
    }
    for (const char* wrong : {"Strasse nach Koln", "Straße nach Köln ", "", "x"}) {
        EXPECT_FALSE(parsed.open(wrong)) << wrong;
    }
}

TEST_F(ProtectedPassword, EveryWriteIsNewAndKeepsTheState) {
    for (const auto state :
         {ConversionState::Protected, ConversionState::BeingProtected, ConversionState::BeingUnprotected}) {
        const std::string again = ProtectedPasswordFile::content(keys, state);
        EXPECT_NE(again, file);
        EXPECT_EQ(ProtectedPasswordFile::parse(again).state(), state);
        EXPECT_TRUE(ProtectedPasswordFile::parse(again).open("straße nach köln"));
    }
}

TEST_F(ProtectedPassword, ANewPasswordKeepsTheDataKey) {
    const DiaryKeys changed = keys.withPassword("Neues Passwort", quickKdf());
    const ProtectedPasswordFile parsed =
        ProtectedPasswordFile::parse(ProtectedPasswordFile::content(changed, ConversionState::Protected));
    EXPECT_FALSE(parsed.open("Straße nach Köln"));
    const auto opened = parsed.open("neues passwort");
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->dataKey.view(), keys.dataKey.view());
    EXPECT_EQ(opened->diaryId, keys.diaryId);
    EXPECT_NE(opened->salt, keys.salt);
}

TEST_F(ProtectedPassword, DamageIsToldFromAWrongPassword) {
    using Problem = ProtectedFileError::Problem;
    const std::string body = bodyOf(file);
    auto changedBody = [&](std::size_t at, bool newCheckValue) {
        std::string b = body;
        b[at] = static_cast<char>(b[at] ^ 0x01);
        return fileWithBody(b, newCheckValue);
    };
    struct Case {
        const char* what;
        std::string data;
        std::optional<Problem> problem; // nothing: parses, but the password no longer opens it
    };
    const Case cases[] = {
        {"empty", "", Problem::Damaged},
        {"header byte", "JOTTEREL-PASSWORF 1" + file.substr(19), Problem::Damaged},
        {"newer version", "JOTTEREL-PASSWORD 2" + file.substr(19), Problem::NewerVersion},
        {"no body", "JOTTEREL-PASSWORD 1\r\n", Problem::Damaged},
        {"body not base64", "JOTTEREL-PASSWORD 1\r\n!!!!\r\n", Problem::Damaged},
        {"body cut short", file.substr(0, file.size() - 10) + "\r\n", Problem::Damaged},
        {"check value", changedBody(body.size() - 1, false), Problem::Damaged},
        {"sealed byte, check not renewed", changedBody(90, false), Problem::Damaged},
        {"unknown derivation", changedBody(0, true), Problem::Damaged},
        {"passes beyond any login",
         fileWithBody(
             [&] {
                 std::string b = body;
                 b[4 + 6] = '\x01';
                 return b;
             }(),
             true),
         Problem::Damaged},
        {"unknown state",
         fileWithBody(
             [&] {
                 std::string b = body;
                 b[52] = 3;
                 return b;
             }(),
             true),
         Problem::Damaged},
        // A field changed by somebody who renews the check value: the sealed keys no longer open.
        {"salt", changedBody(20, true), std::nullopt},
        {"diary id", changedBody(36, true), std::nullopt},
        {"state", changedBody(52, true), std::nullopt},
        {"nonce", changedBody(60, true), std::nullopt},
        {"sealed byte", changedBody(90, true), std::nullopt},
    };
    for (const Case& c : cases) {
        try {
            const ProtectedPasswordFile parsed = ProtectedPasswordFile::parse(c.data);
            EXPECT_FALSE(c.problem) << c.what;
            EXPECT_FALSE(parsed.open("Straße nach Köln")) << c.what;
        } catch (const ProtectedFileError& e) {
            ASSERT_TRUE(c.problem) << c.what << ": " << e.what();
            EXPECT_EQ(e.problem(), *c.problem) << c.what;
        }
    }
}

TEST(KdfParameters, TheProgramNeverWritesACheapDerivation) {
    const KdfParameters standard = KdfParameters::forNewDiary();
    EXPECT_EQ(standard.algorithm(), static_cast<std::uint32_t>(crypto_pwhash_ALG_ARGON2ID13));
    EXPECT_GE(standard.passes(), 3U);
    EXPECT_GE(standard.memory(), 64U * 1024 * 1024);
    // A diary's keys are made for the program's own parameters unless a test says otherwise.
    EXPECT_EQ(DiaryKeys{}.kdf, standard);
    EXPECT_FALSE(KdfParameters::fromStored(1, 3, 64U << 20)); // Argon2i
    EXPECT_FALSE(KdfParameters::fromStored(KdfParameters::kArgon2id13, 0, 64U << 20));
    EXPECT_FALSE(KdfParameters::fromStored(KdfParameters::kArgon2id13, 3, 1024));
    EXPECT_FALSE(KdfParameters::fromStored(KdfParameters::kArgon2id13, 1000, 64U << 20));
    EXPECT_FALSE(KdfParameters::fromStored(KdfParameters::kArgon2id13, 3, std::uint64_t{64} << 30));
    EXPECT_TRUE(KdfParameters::fromStored(KdfParameters::kArgon2id13, 3, 64U << 20));
}

} // namespace
