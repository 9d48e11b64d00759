#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "platform/core/AnsiText.h"
#include "platform/core/FileSystem.h"
#include "search/PageSearch.h"
#include "store/CipherError.h"
#include "store/Module1.h"
#include "support/core/MemberFixture.h"

namespace {

struct Hit {
    std::size_t entry;
    std::string text;
    bool operator==(const Hit&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Hit& h) {
    return out << "[" << h.entry << "] " << h.text;
}

std::vector<Hit> quickSearch(std::string_view page, std::string_view text, int key) {
    std::vector<Hit> hits;
    PageSearch(text, key).Scan(page, [&](std::size_t entry, std::string_view t) {
        hits.push_back({entry, std::string(t)});
    });
    return hits;
}

// The search one entry at a time, as the page view reads a page: each non-empty line is an
// entry; one that deciphers is upper-cased and tested.
std::vector<Hit> entryByEntry(std::string_view page, std::string_view text, int key) {
    std::vector<Hit> hits;
    std::size_t entry = 0;
    const std::string upper = platform::UCase(text);
    platform::ForEachLine(page, [&](std::string_view line) {
        if (line.empty()) {
            return;
        }
        ++entry;
        try {
            const std::string plain = Module1::DecryptWithKey(line, key);
            if (platform::InStr(platform::UCase(plain), upper) > 0) {
                hits.push_back({entry, plain});
            }
        } catch (const CipherError&) {
        }
    });
    return hits;
}

std::string enciphered(const std::string& plain, int key) {
    return Module1::EncryptWithKey(plain, key);
}

TEST(PageSearch, FindsEntriesAsThePageViewNumbersThem) {
    constexpr int key = 110;
    const std::string anna = enciphered("with Anna", key);
    struct Case {
        const char* what;
        std::string page;
        std::string text;
        std::vector<Hit> hits;
        int key = 110;
    };
    const Case cases[] = {
        {"empty file", "", "anna", {}},
        {"text longer than the file", enciphered("ann", key), "anna", {}},
        {"no line end after the last entry", enciphered("x", key) + "\r\n" + anna, "ANNA", {{2, "with Anna"}}},
        {"lone CR and lone LF end lines too",
         enciphered("a", key) + "\r" + enciphered("b", key) + "\n\n" + anna + "\r\n",
         "anna",
         {{3, "with Anna"}}},
        {"empty lines are no entries",
         "\r\n\r\n" + anna + "\r\n\r\n\r\n" + anna + "\r\n",
         "anna",
         {{1, "with Anna"}, {2, "with Anna"}}},
        {"a match never runs across a line end",
         enciphered("an", key) + "\r\n" + enciphered("na", key) + "\r\n",
         "anna",
         {}},
        {"at the very start and end",
         enciphered("anna", key) + "\r\n\r\n" + enciphered("xanna", key),
         "Anna",
         {{1, "anna"}, {2, "xanna"}}},
        {"a line that cannot be deciphered keeps its number",
         enciphered("anna 1", key) + "\r\nanna plain\r\n" + enciphered("anna 3", key) + "\r\n",
         "anna",
         {{1, "anna 1"}, {3, "anna 3"}}},
        {"one byte below the key spoils the whole line",
         enciphered("anna", key) + std::string(1, '\t') + enciphered("anna", key) + "\r\n" + anna,
         "anna",
         {{2, "with Anna"}}},
        // Under key 100 the small s with caron (154) can be stored; its capital is 138.
        {"a letter whose capital is far away", enciphered("\x9A", 100) + "\r\n", "\x8A", {{1, "\x9A"}}, 100},
        {"a character no key can store is never found", enciphered("caf\xE9", key), "\xE9", {}},
        {"entries are counted however short",
         [&] {
             std::string page;
             for (int i = 0; i < 700; ++i) {
                 page += enciphered("x", key) + "\n";
             }
             return page + anna;
         }(),
         "anna",
         {{701, "with Anna"}}},
        {"spaces count", enciphered("a b", key) + "\r\n" + enciphered("ab", key), " B", {{1, "a b"}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(quickSearch(c.page, c.text, c.key), c.hits) << c.what;
        EXPECT_EQ(entryByEntry(c.page, c.text, c.key), c.hits) << c.what;
    }
}

// Long pages of random entries, line ends and damaged bytes, searched for pieces of themselves:
// the quick search lists exactly what reading entry by entry lists.
TEST(PageSearch, ListsWhatReadingEntryByEntryLists) {
    std::mt19937 random(5);
    auto pick = [&](unsigned n) { return static_cast<unsigned>(random() % n); };
    // Letters with a capital, the small s with caron (storable under keys up to 101) and its
    // capital, a character no key can store.
    const std::string letters = "aAbBnN \x9A\x8A\xE9";
    for (int round = 0; round < 300; ++round) {
        const int key = 100 + static_cast<int>(pick(31));
        std::string page;
        std::vector<std::string> plains;
        const unsigned lines = pick(400);
        for (unsigned i = 0; i < lines; ++i) {
            std::string plain;
            for (unsigned k = pick(i % 7 == 0 ? 300 : 12); k > 0; --k) {
                plain += letters[pick(static_cast<unsigned>(letters.size()))];
            }
            plains.push_back(plain);
            page += enciphered(plain, key);
            if (pick(50) == 0) {
                page += static_cast<char>(pick(static_cast<unsigned>(key))); // a damaged byte
            }
            const char* ends[] = {"\r\n", "\r\n\r\n", "\r", "\n", "\r\r\n"};
            page += ends[pick(5)];
        }
        std::string text;
        if (!plains.empty() && pick(4) != 0) {
            const std::string& from = plains[pick(static_cast<unsigned>(plains.size()))];
            const std::size_t at = from.empty() ? 0 : pick(static_cast<unsigned>(from.size()));
            text = from.substr(at, 1 + pick(4));
        }
        if (text.empty()) {
            text = std::string(1, letters[pick(static_cast<unsigned>(letters.size()))]);
        }
        ASSERT_EQ(quickSearch(page, text, key), entryByEntry(page, text, key)) << "round " << round;
    }
}

} // namespace
