#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/ByteScan.h"

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
    // Called for each entry that holds the text: its number on the page, its text, and where the
    // text searched for first stands in it, counted as the page view counts (UTF-16 units).
    using Hit = std::function<void(std::size_t entry, std::string_view text, std::size_t offset)>;

    // searchText must not be empty. The width is that of the loops over the stored bytes, the
    // widest the processor has unless a test asks for another.
    PageSearch(std::string_view searchText, int key, byteScan::Width width = byteScan::Width::Widest);

    // How long the text searched for is where it stands, counted as the page view counts.
    std::size_t matchLength() const { return m_matchLength; }

    // Calls onHit for each entry of the page file content that holds the text, in page order.
    void scan(std::string_view pageFile, const Hit& onHit) const;

private:
    // Calls atCandidate with the first byte of each place where the anchor may stand.
    template <typename AtCandidate>
    void findAnchor(std::string_view pageFile, AtCandidate&& atCandidate) const;
    void scanEveryEntry(std::string_view pageFile, const Hit& onHit) const;
    bool anchorAt(const unsigned char* p) const;
    bool holdsReference(const unsigned char* p, std::size_t n) const;
    // Where the text searched for first stands in text, in UTF-16 units; folded is room to work in.
    std::optional<std::size_t> whereMatches(std::string_view text, std::u32string& folded) const;

    std::u32string m_folded; // the text searched for, folded
    int m_key;
    std::size_t m_matchLength = 0;
    // Each stored byte as the folded character it deciphers to; -1 for a byte below the key.
    std::array<std::int32_t, 256> m_fold{};

    // The anchor: what an entry holding the text must hold in its stored bytes. Either the
    // longest run of the text's characters that are always stored as single bytes (the key
    // stores every character that folds to them), or, when there is no such character, the
    // stored forms of the text's first character: its bytes and its references.
    //
    // A run is looked for with three probes, its first, a middle and its last character. A
    // stored byte b holds a probe's character when b less the probe's lowest form leaves no bit
    // outside the spread, the bits by which the probes' other forms lie above their lowest (for a
    // letter and its capital, 32): one test for the three probes at once, exact for most texts
    // and otherwise a sieve that the run's own comparison completes.
    std::size_t m_runStart = 0;  // in characters of the text
    std::size_t m_runLength = 0; // 0: the anchor is references
    byteScan::Sieve m_sieve;
    const byteScan::Loops* m_loops;
    std::vector<std::string> m_references; // enciphered, when there is no run
    bool m_allStored = true;               // the key stores every character of the text as one byte
    bool m_twoAtMost = true;               // no character of the run has more than two stored forms
};
