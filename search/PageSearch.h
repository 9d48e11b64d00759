#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Looks for a text in the stored entries of one page file, letter case ignored in every
// language (Unicode's simple case folding): each entry is deciphered under the member key and
// compared with the text. Entries are numbered as the page view numbers them: an empty line is
// no entry.
//
// An entry that cannot be deciphered under the key (a damaged or hand-edited line) keeps its
// number, so that the numbers of the entries after it stay those of the page view, but it is
// never tested or listed: its text is not known.
class PageSearch {
public:
    // Called for each entry that holds the text: its number on the page and its text.
    using Hit = std::function<void(std::size_t entry, std::string_view text)>;

    // searchText must not be empty.
    PageSearch(std::string_view searchText, int key);

    // Calls onHit for each entry of the page file content that holds the text, in page order.
    void Scan(std::string_view pageFile, const Hit& onHit) const;

private:
    using Span = std::pair<std::size_t, std::size_t>; // an entry's first byte and the byte after it

    void scanStoredBytes(std::string_view pageFile, std::vector<Span>& found) const;
    void scanReferencedEntries(std::string_view pageFile, std::vector<Span>& found) const;
    void scanEveryEntry(std::string_view pageFile, std::vector<Span>& found) const;
    bool matchesAt(const unsigned char* p) const;
    bool holdsReference(const unsigned char* p, std::size_t n) const;
    bool textMatches(std::string_view text) const;

    std::u32string m_folded; // the text searched for, folded
    int m_key;
    // Each stored byte as the folded character it deciphers to; -1 for a byte below the key.
    std::array<std::int32_t, 256> m_fold{};
    // Three characters of the text, the first, a middle one and the last, with the stored bytes
    // that fold to each. A character has at most two (its capital and its small letter); the
    // second repeats the first when there is only one.
    struct Probe {
        std::size_t offset = 0;
        unsigned char forms[2]{};
    };
    Probe m_probes[3];
    bool m_storable = true;  // every character of the text has a stored form under the key
    bool m_twoAtMost = true; // no character of the text has more than two stored forms
};
