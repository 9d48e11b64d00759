#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// Looks for a text in the stored entries of one page file, letter case ignored: each entry is
// deciphered under the member key, and both texts are upper-cased before they are compared.
// Entries are numbered as the page view numbers them: an empty line is no entry.
//
// An entry that cannot be deciphered under the key (a damaged or hand-edited line) keeps its
// number, so that the numbers of the entries after it stay those of the page view, but it is
// never tested or listed: its text is not known.
class PageSearch {
public:
    // Called for each entry that holds the text: its number on the page and its stored text.
    using Hit = std::function<void(std::size_t entry, std::string_view text)>;

    // searchText must not be empty.
    PageSearch(std::string_view searchText, int key);

    // Calls onHit for each entry of the page file content that holds the text, in page order.
    void Scan(std::string_view pageFile, const Hit& onHit) const;

private:
    void scanLineByLine(std::string_view pageFile, const Hit& onHit) const;
    bool matchesAt(const unsigned char* p) const;

    std::string m_upper; // the text searched for, upper-cased
    int m_key;
    // Each stored byte as the upper-cased character it deciphers to; -1 for a byte below the key.
    std::array<std::int16_t, 256> m_fold{};
    // Three characters of the text, the first, a middle one and the last, with the stored bytes
    // that fold to each. A character has at most two (its capital and its small letter); the
    // second repeats the first when there is only one.
    struct Probe {
        std::size_t offset = 0;
        unsigned char forms[2]{};
    };
    Probe m_probes[3];
    bool m_storable = true;  // every character of the text can be stored under the key
    bool m_twoAtMost = true; // no character of the text has more than two stored forms
};
