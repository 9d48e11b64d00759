#include "store/PageSearch.h"

#include <algorithm>
#include <bit>

#include "platform/core/CaseFoldingTable.h"
#include "platform/core/Cp1252.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Unicode.h"
#include "platform/core/Wipe.h"
#include "store/ByteScan.h"
#include "store/Cipher.h"
#include "store/TextCodec.h"

namespace {

bool isLineEnd(unsigned char c) {
    return c == '\r' || c == '\n';
}

// Entries (non-empty lines) that start in [from, to) of p, where from is 0 or the position of
// a line end: at 0 unless p begins with a line end, and wherever a byte that is no line end
// follows a line end. Every entry of a page up to its last match is counted.
std::size_t countEntries(const byteScan::Loops& loops, const unsigned char* p, std::size_t from, std::size_t to) {
    std::size_t count = 0;
    if (from == 0 && to > 0) {
        count += !isLineEnd(p[0]);
        from = 1;
    }
    return from < to ? count + loops.countStarts(p, from, to) : count;
}

// The entries' text, as it was folded to be compared, goes like their deciphered text.
void wipeFolded(std::u32string& folded) {
    folded.resize(folded.capacity());
    platform::wipeBytes(folded.data(), folded.size() * sizeof(char32_t));
    folded.clear();
}

// The characters that fold to c, c among them.
std::u32string foldClass(char32_t c) {
    std::u32string members(1, c);
    for (std::size_t i = 0; i < platform::detail::kCaseFoldingCount; ++i) {
        if (platform::detail::kCaseFolding[i].to == c) {
            members += platform::detail::kCaseFolding[i].from;
        }
    }
    return members;
}

} // namespace

PageSearch::PageSearch(std::string_view searchText, int key, byteScan::Width width)
    : m_key(key), m_loops(&byteScan::loops(width)) {
    for (std::size_t i = 0; i < searchText.size();) {
        const char32_t c = platform::nextCodePoint(searchText, i);
        m_folded += platform::foldCase(c);
        m_matchLength += c > 0xFFFF ? 2 : 1;
    }
    for (int b = 0; b < 256; ++b) {
        m_fold[static_cast<std::size_t>(b)] =
            b < key ? -1
                    : static_cast<std::int32_t>(
                          platform::foldCase(platform::cp1252ToUnicode(static_cast<unsigned char>(b - key))));
    }
    auto storedForms = [&](char32_t c) {
        std::vector<unsigned char> forms;
        for (int b = 0; b < 256; ++b) {
            if (m_fold[static_cast<std::size_t>(b)] == static_cast<std::int32_t>(c)) {
                forms.push_back(static_cast<unsigned char>(b));
            }
        }
        return forms;
    };
    // A character is always stored as a byte when the key stores every character that folds
    // to it; otherwise some of its forms are stored as references (the small s with caron under
    // keys above 101, and "k", whose forms include the Kelvin sign, under every key).
    auto alwaysByte = [&](char32_t c) {
        const std::u32string members = foldClass(c);
        return std::all_of(members.begin(), members.end(), [&](char32_t x) { return keyStores(x, key); });
    };
    // The longest run of such characters.
    for (std::size_t i = 0; i < m_folded.size();) {
        std::size_t j = i;
        while (j < m_folded.size() && alwaysByte(m_folded[j])) {
            ++j;
        }
        if (j - i > m_runLength) {
            m_runStart = i;
            m_runLength = j - i;
        }
        i = j + 1;
    }
    m_allStored = m_runLength == m_folded.size();
    if (m_runLength > 0) {
        const std::size_t offsets[3] = {0, m_runLength / 2, m_runLength - 1};
        for (int i = 0; i < 3; ++i) {
            const std::vector<unsigned char> forms = storedForms(m_folded[m_runStart + offsets[i]]);
            m_sieve.offsets[i] = offsets[i];
            m_sieve.lowest[i] = forms.front();
            for (const unsigned char form : forms) {
                m_sieve.spread |= static_cast<unsigned char>(form - forms.front());
            }
            m_twoAtMost = m_twoAtMost && forms.size() <= 2;
        }
    } else if (!m_folded.empty()) {
        // Every form of the first character the key cannot store is a reference; the others
        // are bytes.
        for (const unsigned char form : storedForms(m_folded[0])) {
            m_references.emplace_back(1, static_cast<char>(form));
        }
        for (char32_t c : foldClass(m_folded[0])) {
            if (keyStores(c, key)) {
                continue;
            }
            m_references.push_back(Cipher::encipheredReference(c, key));
        }
    }
}

bool PageSearch::anchorAt(const unsigned char* p) const {
    for (std::size_t j = 0; j < m_runLength; ++j) {
        if (m_fold[p[j]] != static_cast<std::int32_t>(m_folded[m_runStart + j])) {
            return false;
        }
    }
    return true;
}

bool PageSearch::holdsReference(const unsigned char* p, std::size_t n) const {
    const auto amp = static_cast<unsigned char>('&' + m_key);
    const auto hash = static_cast<unsigned char>('#' + m_key);
    for (std::size_t i = 0; i + 1 < n; ++i) {
        if (p[i] == amp && p[i + 1] == hash) {
            return true;
        }
    }
    return false;
}

std::optional<std::size_t> PageSearch::whereMatches(std::string_view text, std::u32string& folded) const {
    folded.clear();
    for (std::size_t i = 0; i < text.size();) {
        folded += platform::foldCase(platform::nextCodePoint(text, i));
    }
    const std::size_t at = folded.find(m_folded);
    if (at == std::u32string::npos) {
        return std::nullopt;
    }
    // Folding keeps each character in its plane: one outside the basic plane takes two units.
    std::size_t units = at;
    for (std::size_t i = 0; i < at; ++i) {
        units += folded[i] > 0xFFFF;
    }
    return units;
}

template <typename AtCandidate>
void PageSearch::findAnchor(std::string_view pageFile, AtCandidate&& atCandidate) const {
    const auto* p = reinterpret_cast<const unsigned char*>(pageFile.data());
    const std::size_t n = pageFile.size();
    if (m_runLength == 0) {
        // The references the first character may be stored as, in page order.
        std::vector<std::size_t> at(m_references.size());
        for (std::size_t r = 0; r < m_references.size(); ++r) {
            at[r] = pageFile.find(m_references[r]);
        }
        for (;;) {
            const auto first = std::min_element(at.begin(), at.end());
            if (first == at.end() || *first == std::string_view::npos) {
                return;
            }
            atCandidate(*first);
            const auto r = static_cast<std::size_t>(first - at.begin());
            *first = pageFile.find(m_references[r], *first + 1);
        }
    }
    if (n < m_runLength) {
        return;
    }
    const std::size_t starts = n - m_runLength + 1;
    std::size_t s = 0;
    for (;;) {
        std::uint64_t mask = 0;
        s = m_loops->nextCandidates(p, s, starts, m_sieve, mask);
        if (mask == 0) {
            break;
        }
        for (; mask != 0; mask &= mask - 1) {
            const std::size_t at = s + static_cast<std::size_t>(std::countr_zero(mask));
            if (anchorAt(p + at)) {
                atCandidate(at);
            }
        }
        s += 64;
    }
    for (; s < starts; ++s) {
        if (anchorAt(p + s)) {
            atCandidate(s);
        }
    }
}

void PageSearch::scan(std::string_view pageFile, const Hit& onHit) const {
    if (m_folded.empty()) {
        return;
    }
    if (!m_twoAtMost) {
        scanEveryEntry(pageFile, onHit);
        return;
    }
    // Only the entries that hold the anchor are deciphered and compared. An entry made only of
    // characters stored as bytes that holds the whole text as its anchor is listed at once: its
    // first anchor is where the text first stands, each byte one character of the text.
    const auto* p = reinterpret_cast<const unsigned char*>(pageFile.data());
    const std::size_t n = pageFile.size();
    const auto key = static_cast<unsigned char>(m_key);
    std::size_t next = 0;    // candidates before this lie in an entry already listed or skipped
    std::size_t counted = 0; // entries are counted up to here
    std::size_t entries = 0;
    std::string plain;
    std::u32string folded;
    findAnchor(pageFile, [&](std::size_t s) {
        if (s < next) {
            return;
        }
        // Bytes below the key end the walk: a line end, or a byte that cannot be deciphered.
        const std::size_t begin = byteScan::runBegin(p, s, key);
        std::size_t end = byteScan::runEnd(p, n, s, key);
        const bool deciphers = (begin == 0 || isLineEnd(p[begin - 1])) && (end == n || isLineEnd(p[end]));
        if (!deciphers) {
            while (end < n && !isLineEnd(p[end])) {
                ++end;
            }
            next = end;
            return;
        }
        next = end;
        plain.clear();
        bool decoded = false;
        (void)Cipher::appendDeciphered(plain, pageFile.substr(begin, end - begin), m_key, &decoded);
        // Plain ASCII, the common entry, is its own text and holds no reference.
        const bool references = !m_allStored || (decoded && holdsReference(p + begin, end - begin));
        const std::string_view text = plain;
        std::size_t offset = s - begin;
        if (references) {
            const std::optional<std::size_t> at = whereMatches(text, folded);
            if (!at) {
                return;
            }
            offset = *at;
        }
        entries += countEntries(*m_loops, p, counted, begin) + 1;
        counted = end;
        onHit(entries, text, offset);
    });
    platform::wipe(plain);
    wipeFolded(folded);
}

// The plain way, one entry after the other: for texts whose characters have more stored forms
// than the quick way looks at.
void PageSearch::scanEveryEntry(std::string_view pageFile, const Hit& onHit) const {
    std::size_t entry = 0;
    std::string text;
    std::u32string folded;
    platform::forEachLine(pageFile, [&](std::string_view line) {
        if (line.empty()) {
            return;
        }
        ++entry;
        text.clear();
        if (!Cipher::appendDeciphered(text, line, m_key)) {
            return;
        }
        if (const std::optional<std::size_t> at = whereMatches(text, folded)) {
            onHit(entry, text, *at);
        }
    });
    platform::wipe(text);
    wipeFolded(folded);
}
