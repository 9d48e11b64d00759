#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "platform/core/FileSystem.h"
#include "platform/core/Unicode.h"
#include "store/Cipher.h"
#include "store/CipherError.h"
#include "store/MemberSession.h"
#include "store/PageSearch.h"
#include "support/core/MemberFixture.h"

namespace {

// An entry found, and where the text searched for first stands in it (UTF-16 units, as the page
// view counts).
struct Hit {
    std::size_t entry;
    std::string text;
    std::size_t offset;
    bool operator==(const Hit&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Hit& h) {
    return out << "[" << h.entry << "] " << h.text << " at " << h.offset;
}

std::vector<Hit> quickSearch(std::string_view page, std::string_view text, int key, byteScan::Width width) {
    std::vector<Hit> hits;
    PageSearch(text, key, width).scan(page, [&](std::size_t entry, std::string_view t, std::size_t offset) {
        hits.push_back({entry, std::string(t), offset});
    });
    return hits;
}

// The search one entry at a time, as the page view reads a page: each non-empty line is an
// entry; one that deciphers is tested, letter case ignored, as the page view's text is.
std::vector<Hit> entryByEntry(std::string_view page, std::string_view text, int key) {
    std::vector<Hit> hits;
    std::size_t entry = 0;
    platform::forEachLine(page, [&](std::string_view line) {
        if (line.empty()) {
            return;
        }
        ++entry;
        try {
            const std::string plain = Cipher::decryptWithKey(line, key);
            if (const auto at = platform::findIgnoringCase(plain, text)) {
                hits.push_back({entry, plain, at->offset});
            }
        } catch (const CipherError&) {
        }
    });
    return hits;
}

// The loops over the stored bytes in every width, whatever the processor running the tests has.
constexpr byteScan::Width kWidths[] = {byteScan::Width::Widest, byteScan::Width::Sixteen, byteScan::Width::One};

std::string enciphered(const std::string& plain, int key) {
    return Cipher::encryptWithKey(plain, key);
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
        {"no line end after the last entry", enciphered("x", key) + "\r\n" + anna, "ANNA", {{2, "with Anna", 5}}},
        {"lone CR and lone LF end lines too",
         enciphered("a", key) + "\r" + enciphered("b", key) + "\n\n" + anna + "\r\n",
         "anna",
         {{3, "with Anna", 5}}},
        {"empty lines are no entries",
         "\r\n\r\n" + anna + "\r\n\r\n\r\n" + anna + "\r\n",
         "anna",
         {{1, "with Anna", 5}, {2, "with Anna", 5}}},
        {"a match never runs across a line end",
         enciphered("an", key) + "\r\n" + enciphered("na", key) + "\r\n",
         "anna",
         {}},
        {"at the very start and end",
         enciphered("anna", key) + "\r\n\r\n" + enciphered("xanna", key),
         "Anna",
         {{1, "anna", 0}, {2, "xanna", 1}}},
        {"a line that cannot be deciphered keeps its number",
         enciphered("anna 1", key) + "\r\nanna plain\r\n" + enciphered("anna 3", key) + "\r\n",
         "anna",
         {{1, "anna 1", 0}, {3, "anna 3", 0}}},
        {"one byte below the key spoils the whole line",
         enciphered("anna", key) + std::string(1, '\t') + enciphered("anna", key) + "\r\n" + anna,
         "anna",
         {{2, "with Anna", 5}}},
        // Under key 100 the small s with caron (154) can be stored; its capital is 138.
        {"a letter whose capital is far away",
         enciphered("\xC5\xA1", 100) + "\r\n",
         "\xC5\xA0",
         {{1, "\xC5\xA1", 0}},
         100},
        // Characters no key stores as themselves are stored as references, and found.
        {"an accented letter", enciphered("caf\xC3\xA9", key), "\xC3\x89", {{1, "caf\xC3\xA9", 3}}},
        // Each character counts one, whether it is stored as a byte or as a reference, and one
        // outside the basic plane counts two.
        {"after a letter stored as a byte", enciphered("caf\xC3\xA9 anna", key), "ANNA", {{1, "caf\xC3\xA9 anna", 5}}},
        {"after a reference", enciphered("\xE2\x82\xAC anna", 130), "ANNA", {{1, "\xE2\x82\xAC anna", 2}}, 130},
        {"after a character outside the basic plane",
         enciphered("\xF0\x9F\x98\x80 anna", key),
         "ANNA",
         {{1, "\xF0\x9F\x98\x80 anna", 3}}},
        {"the first of several", enciphered("Anna and anna", key), "ANNA", {{1, "Anna and anna", 0}}},
        {"in every language",
         enciphered("Gr\xC3\xBC\xC3\x9F"
                    "e aus K\xC3\xB6ln",
                    key) +
             "\r\n" + enciphered("\xCF\x83\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1", key) + "\r\n",
         "K\xC3\x96LN",
         {{1,
           "Gr\xC3\xBC\xC3\x9F"
           "e aus K\xC3\xB6ln",
           10}}},
        {"Greek capitals",
         enciphered("x", key) + "\r\n" + enciphered("\xCF\x83\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1", key) + "\r\n",
         "\xCE\xA3\xCE\x9F\xCE\xA6\xCE\x8A\xCE\x91",
         {{2, "\xCF\x83\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1", 0}}},
        {"plain and referenced entries in page order",
         enciphered("caf\xC3\xA9 one", key) + "\r\n" + enciphered("cafe one", key) + "\r\n" +
             enciphered("one \xE2\x98\x95", key),
         "ONE",
         {{1, "caf\xC3\xA9 one", 5}, {2, "cafe one", 5}, {3, "one \xE2\x98\x95", 0}}},
        {"what a reference is stored as is not its text", enciphered("caf\xC3\xA9", key), "#2", {}},
        {"a typed reference is text", enciphered("&#65;", key), "&#6", {{1, "&#65;", 0}}},
        {"entries are counted however short",
         [&] {
             std::string page;
             for (int i = 0; i < 700; ++i) {
                 page += enciphered("x", key) + "\n";
             }
             return page + anna;
         }(),
         "anna",
         {{701, "with Anna", 5}}},
        // More starts at one place of the counting loop than a byte can count.
        {"entries are counted however many",
         [&] {
             std::string page;
             for (int i = 0; i < 20000; ++i) {
                 page += enciphered("x", key) + "\n";
             }
             return page + anna;
         }(),
         "anna",
         {{20001, "with Anna", 5}}},
        // "(" and "H" lie as far apart as "a" and "A": what the probes let through is compared.
        {"a near miss", enciphered("aH", key) + "\r\n" + enciphered("a(", key), "A(", {{2, "a(", 0}}},
        {"spaces count", enciphered("a b", key) + "\r\n" + enciphered("ab", key), " B", {{1, "a b", 1}}},
    };
    for (const Case& c : cases) {
        for (const byteScan::Width width : kWidths) {
            EXPECT_EQ(quickSearch(c.page, c.text, c.key, width), c.hits) << c.what << ", width " << int(width);
        }
        EXPECT_EQ(entryByEntry(c.page, c.text, c.key), c.hits) << c.what;
    }
}

// Long pages of random entries, line ends and damaged bytes, searched for pieces of themselves:
// the quick search lists exactly what reading entry by entry lists.
TEST(PageSearch, ListsWhatReadingEntryByEntryLists) {
    std::mt19937 random(5);
    auto pick = [&](unsigned n) { return static_cast<unsigned>(random() % n); };
    // Letters with a capital, the small s with caron (storable under keys up to 101) and its
    // capital, letters no key stores as themselves, one outside the basic plane, and the
    // characters a reference is made of.
    const std::vector<std::string> letters = {
        "a",        "A",        "b",        "B",        "n",        "N",        " ",
        "\xC5\xA1", "\xC5\xA0", "\xC3\xA9", "\xC3\x89", "\xD0\xBA", "\xD0\x9A", "\xF0\x9F\x98\x80",
        "&",        "#",        "3",        ";"};
    for (int round = 0; round < 300; ++round) {
        const int key = 100 + static_cast<int>(pick(31));
        std::string page;
        std::vector<std::vector<std::string>> plains;
        const unsigned lines = pick(400);
        for (unsigned i = 0; i < lines; ++i) {
            std::vector<std::string> plain;
            for (unsigned k = pick(i % 7 == 0 ? 300 : 12); k > 0; --k) {
                plain.push_back(letters[pick(static_cast<unsigned>(letters.size()))]);
            }
            plains.push_back(plain);
            std::string joined;
            for (const std::string& letter : plain) {
                joined += letter;
            }
            page += enciphered(joined, key);
            if (pick(50) == 0) {
                page += static_cast<char>(pick(static_cast<unsigned>(key))); // a damaged byte
            }
            const char* ends[] = {"\r\n", "\r\n\r\n", "\r", "\n", "\r\r\n"};
            page += ends[pick(5)];
        }
        std::string text;
        if (!plains.empty() && pick(4) != 0) {
            const std::vector<std::string>& from = plains[pick(static_cast<unsigned>(plains.size()))];
            const std::size_t at = from.empty() ? 0 : pick(static_cast<unsigned>(from.size()));
            for (std::size_t k = at; k < from.size() && k < at + 1 + pick(4); ++k) {
                text += from[k];
            }
        }
        if (text.empty()) {
            text = letters[pick(static_cast<unsigned>(letters.size()))];
        }
        const std::vector<Hit> expected = entryByEntry(page, text, key);
        for (const byteScan::Width width : kWidths) {
            ASSERT_EQ(quickSearch(page, text, key, width), expected)
                << "round " << round << ", text " << text << ", key " << key << ", width " << int(width);
        }
    }
}

} // namespace
