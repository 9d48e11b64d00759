#include <gtest/gtest.h>
#include <random>
#include <sodium.h>

#include "platform/core/Wipe.h"
#include "store/Base64Text.h"
#include "store/GuardedBuffer.h"
#include "store/MemberFileForm.h"
#include "store/ProtectedFileError.h"
#include "store/SealedRecord.h"
#include "store/SodiumLibrary.h"

namespace {

GuardedBuffer randomKey() {
    startSodium();
    GuardedBuffer key(kDataKeyBytes);
    randombytes_buf(key.data(), key.size());
    return key;
}

DiaryId randomId() {
    DiaryId id{};
    randombytes_buf(id.data(), id.size());
    return id;
}

// What libsodium itself makes of the text: the format promises that any program with libsodium
// reads the records, so our faster decoder must take exactly the same texts.
bool sodiumTakes(const std::string& text, std::string& out) {
    out.assign(text.size(), '\0');
    std::size_t size = 0;
    const char* end = nullptr;
    const int rc = sodium_base642bin(reinterpret_cast<unsigned char*>(out.data()), out.size(), text.data(), text.size(),
                                     nullptr, &size, &end, sodium_base64_VARIANT_ORIGINAL);
    out.resize(size);
    return rc == 0 && end == text.data() + text.size();
}

TEST(Base64Text, TakesExactlyWhatLibsodiumTakes) {
    startSodium();
    std::mt19937 random(21);
    const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=";
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        if (round % 2 == 0) {
            // Real encodings of every length, with one character changed now and then.
            std::string bytes(random() % 70, '\0');
            for (char& c : bytes) {
                c = static_cast<char>(random());
            }
            text = base64Text(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
            std::string decoded;
            ASSERT_TRUE(bytesOfBase64(text, decoded)) << text;
            ASSERT_EQ(decoded, bytes);
            if (!text.empty() && round % 4 == 0) {
                text[random() % text.size()] = alphabet[random() % alphabet.size()];
            }
        } else {
            const std::size_t n = random() % 13;
            for (std::size_t i = 0; i < n; ++i) {
                text += alphabet[random() % alphabet.size()];
            }
        }
        std::string ours;
        std::string theirs;
        const bool takes = sodiumTakes(text, theirs);
        ASSERT_EQ(bytesOfBase64(text, ours), takes) << text;
        if (takes) {
            ASSERT_EQ(ours, theirs) << text;
        }
    }
    std::string out;
    for (const char* refused : {"QQ", "QQ=", "QR==", "QUI=QUI=", "Q===", "QUJ=", "QU\nI=", "QUI\r"}) {
        EXPECT_FALSE(bytesOfBase64(refused, out)) << refused;
    }
}

class SealedRecord : public ::testing::Test {
protected:
    GuardedBuffer key = randomKey();
    DiaryId id = randomId();
    RecordPlace place{id, "FGZISKL4", 3};
    RecordKind kind = RecordKind::ClassicLine;
    std::string content;
    std::string work;

    bool opens(const std::string& line, const RecordPlace& at) {
        return openRecord(key, at, line, kind, content, work);
    }
};

TEST_F(SealedRecord, OpensOnlyInItsOwnPlaceAsWritten) {
    const std::string text = "Went to the market &#26085; (07Dec26, 09:05PM)";
    const std::string line = sealRecord(key, place, RecordKind::Text, text);
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(line.find(text), std::string::npos);
    ASSERT_TRUE(opens(line, place));
    EXPECT_EQ(kind, RecordKind::Text);
    EXPECT_EQ(content, text);

    // A new nonce every time: the same entry twice is never the same line.
    EXPECT_NE(sealRecord(key, place, RecordKind::Text, text), line);

    const DiaryId otherId = randomId();
    const RecordPlace elsewhere[] = {
        {id, "FGZISKL4", 1}, {id, "FGZISKL4", 4}, {id, "OTBKJI3W", 3}, {id, "UBF8USBS", 3}, {otherId, "FGZISKL4", 3}};
    for (const RecordPlace& other : elsewhere) {
        EXPECT_FALSE(opens(line, other)) << other.fileName << " line " << other.line;
    }
    const GuardedBuffer otherKey = randomKey();
    EXPECT_FALSE(openRecord(otherKey, place, line, kind, content, work));
}

TEST_F(SealedRecord, NoChangedBitAndNoCutOpens) {
    const std::string line = sealRecord(key, place, RecordKind::Text, "Rain all day");
    for (std::size_t at = 0; at < line.size(); ++at) {
        for (int bit = 0; bit < 8; ++bit) {
            std::string changed = line;
            changed[at] = static_cast<char>(changed[at] ^ (1 << bit));
            ASSERT_FALSE(opens(changed, place)) << "byte " << at << " bit " << bit;
        }
    }
    for (std::size_t keep = 0; keep < line.size(); ++keep) {
        ASSERT_FALSE(opens(line.substr(0, keep), place)) << keep;
    }
    EXPECT_FALSE(opens(line + "AAAA", place));
}

TEST_F(SealedRecord, KeepsAnUndecipherableClassicLineAndEmptyText) {
    const std::string raw("abc\x01\xff", 5);
    ASSERT_TRUE(opens(sealRecord(key, place, RecordKind::ClassicLine, raw), place));
    EXPECT_EQ(kind, RecordKind::ClassicLine);
    EXPECT_EQ(content, raw);
    ASSERT_TRUE(opens(sealRecord(key, place, RecordKind::Text, ""), place));
    EXPECT_EQ(kind, RecordKind::Text);
    EXPECT_EQ(content, "");
}

TEST(MemberFileForm, FirstBytesTellTheForm) {
    EXPECT_EQ(memberFileForm(""), MemberFileForm::Empty);
    EXPECT_EQ(memberFileForm("\xB1\xB0\xB4\r\n"), MemberFileForm::Classic); // a key line
    EXPECT_EQ(memberFileForm("\r\n\xD4\xD5\r\n"), MemberFileForm::Classic);
    EXPECT_EQ(memberFileForm("JOTTEREL-PAGE 1\r\n"), MemberFileForm::Protected);
    EXPECT_EQ(memberFileForm("JOTTEREL-ANYTHING"), MemberFileForm::Protected);
    EXPECT_EQ(memberFileForm("JOTTEREL PAGE 1\r\n"), MemberFileForm::Classic);
    // Every byte of a header lies below the least member key, so no classic line starts like one.
    for (const auto kind : {ProtectedFileKind::Password, ProtectedFileKind::Captions, ProtectedFileKind::Page}) {
        for (const char c : protectedHeader(kind)) {
            EXPECT_LT(static_cast<unsigned char>(c), 100);
        }
    }
}

TEST(MemberFileForm, HeaderOfAProtectedFile) {
    using Problem = ProtectedFileError::Problem;
    struct Case {
        std::string data;
        ProtectedFileKind kind;
        std::optional<Problem> problem;
        std::size_t start = 0;
    };
    const Case cases[] = {
        {"JOTTEREL-PAGE 1\r\nrecord\r\n", ProtectedFileKind::Page, std::nullopt, 17},
        {"JOTTEREL-PAGE 1\nrecord", ProtectedFileKind::Page, std::nullopt, 16},
        {"JOTTEREL-PAGE 1", ProtectedFileKind::Page, std::nullopt, 15},
        {"JOTTEREL-CAPTIONS 1\r\n", ProtectedFileKind::Captions, std::nullopt, 21},
        {"JOTTEREL-PASSWORD 1\r\n", ProtectedFileKind::Password, std::nullopt, 21},
        {"JOTTEREL-PAGE 2\r\n", ProtectedFileKind::Page, Problem::NewerVersion},
        {"JOTTEREL-PAGE 17\r\n", ProtectedFileKind::Page, Problem::NewerVersion},
        {"JOTTEREL-PAGE 01\r\n", ProtectedFileKind::Page, Problem::Damaged},
        {"JOTTEREL-PAGE 0\r\n", ProtectedFileKind::Page, Problem::Damaged},
        {"JOTTEREL-PAGE 1 \r\n", ProtectedFileKind::Page, Problem::Damaged},
        {"JOTTEREL-PAGE\r\n", ProtectedFileKind::Page, Problem::Damaged},
        {"JOTTEREL-PAGE  1\r\n", ProtectedFileKind::Page, Problem::Damaged},
        {"JOTTEREL-PAGF 1\r\n", ProtectedFileKind::Page, Problem::Damaged},
        {"JOTTEREL-PAGE 99999999999\r\n", ProtectedFileKind::Page, Problem::Damaged},
        {"JOTTEREL-CAPTIONS 1\r\n", ProtectedFileKind::Page, Problem::Damaged}, // another file's
        {"JOTTEREL-PAGE 1\r\n", ProtectedFileKind::Captions, Problem::Damaged},
    };
    for (const Case& c : cases) {
        try {
            const std::size_t start = checkProtectedHeader(c.data, c.kind);
            EXPECT_FALSE(c.problem) << c.data;
            EXPECT_EQ(start, c.start) << c.data;
        } catch (const ProtectedFileError& e) {
            ASSERT_TRUE(c.problem) << c.data << ": " << e.what();
            EXPECT_EQ(e.problem(), *c.problem) << c.data;
        }
    }
}

TEST(GuardedBuffer, HoldsMovesAndWipes) {
    GuardedBuffer a = GuardedBuffer::copyOf("secret");
    EXPECT_EQ(a.view(), "secret");
    GuardedBuffer b = std::move(a);
    EXPECT_TRUE(a.empty());
    EXPECT_EQ(b.view(), "secret");
    b.clear();
    EXPECT_TRUE(b.empty());
    EXPECT_TRUE(GuardedBuffer::copyOf("").empty());

    std::string text = "a password typed into a box";
    const char* storage = text.data();
    const std::size_t capacity = text.capacity();
    text = "short";
    platform::wipeKeepingRoom(text);
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(text.data(), storage);
    EXPECT_EQ(std::string(storage, capacity), std::string(capacity, '\0'));
}

} // namespace
