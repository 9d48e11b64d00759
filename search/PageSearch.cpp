#include "search/PageSearch.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>

#include "platform/core/Cp1252.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Unicode.h"
#include "store/TextCodec.h"

namespace {

bool isLineEnd(unsigned char c) {
    return c == '\r' || c == '\n';
}

// Entries (non-empty lines) that start in [from, to) of p, where from is 0 or the position of
// a line end: at 0 unless p begins with a line end, and wherever a byte that is no line end
// follows a line end. Written without branches and counted in small runs so that the compiler
// can compare many bytes at once: every entry of a page up to its last match is counted.
std::size_t countEntries(const unsigned char* p, std::size_t from, std::size_t to) {
    std::size_t count = 0;
    if (from == 0 && to > 0) {
        count += !isLineEnd(p[0]);
        from = 1;
    }
    while (from < to) {
        // A run of 480 positions holds at most 240 starts, and 480 is a whole number of vectors.
        const std::size_t run = std::min<std::size_t>(to - from, 480);
        const unsigned char* q = p + from;
        const unsigned char* before = q - 1;
        unsigned char starts = 0;
        for (std::size_t i = 0; i < run; ++i) {
            starts += static_cast<unsigned char>((q[i] != '\r') & (q[i] != '\n') &
                                                 ((before[i] == '\r') | (before[i] == '\n')));
        }
        count += starts;
        from += run;
    }
    return count;
}

// The stored bytes of an entry known to decipher, deciphered.
void decipherInto(char* out, const unsigned char* in, std::size_t n, unsigned char key) {
    for (std::size_t i = 0; i < n; ++i) {
        out[i] = static_cast<char>(in[i] - key);
    }
}

// Bit j set for each of the 64 flags (bytes of 0 or 1) from flags on that is 1, so that a
// block's candidates are visited without testing each position again.
std::uint64_t candidateMask(const unsigned char* flags) {
    std::uint64_t mask = 0;
    for (std::size_t word = 0; word < 64; word += 8) {
        std::uint64_t bytes;
        std::memcpy(&bytes, flags + word, 8);
        if constexpr (std::endian::native == std::endian::little) {
            // Gathers the low bit of each byte into the top byte of the product.
            mask |= ((bytes * 0x0102040810204080ULL) >> 56) << word;
        } else {
            for (std::size_t j = 0; j < 8; ++j) {
                mask |= static_cast<std::uint64_t>(flags[word + j]) << (word + j);
            }
        }
    }
    return mask;
}

// The text of a stored entry that deciphers, in Unicode.
std::string entryText(const unsigned char* p, std::size_t n, int key) {
    std::string plain(n, '\0');
    decipherInto(plain.data(), p, n, static_cast<unsigned char>(key));
    return TextFromStorable(plain, key);
}

} // namespace

PageSearch::PageSearch(std::string_view searchText, int key) : m_key(key) {
    for (std::size_t i = 0; i < searchText.size();) {
        m_folded += platform::FoldCase(platform::NextCodePoint(searchText, i));
    }
    for (int b = 0; b < 256; ++b) {
        m_fold[static_cast<std::size_t>(b)] =
            b < key ? -1
                    : static_cast<std::int32_t>(
                          platform::FoldCase(platform::Cp1252ToUnicode(static_cast<unsigned char>(b - key))));
    }
    auto storedForms = [&](char32_t c, unsigned char(&forms)[2]) {
        int found = 0;
        for (int b = 0; b < 256; ++b) {
            if (m_fold[static_cast<std::size_t>(b)] == static_cast<std::int32_t>(c)) {
                if (found < 2) {
                    forms[found] = static_cast<unsigned char>(b);
                }
                ++found;
            }
        }
        if (found == 0) {
            m_storable = false;
        } else if (found == 1) {
            forms[1] = forms[0];
        } else if (found > 2) {
            m_twoAtMost = false;
        }
    };
    for (char32_t c : m_folded) {
        unsigned char forms[2];
        storedForms(c, forms);
    }
    if (!m_folded.empty()) {
        const std::size_t offsets[3] = {0, m_folded.size() / 2, m_folded.size() - 1};
        for (int i = 0; i < 3; ++i) {
            m_probes[i].offset = offsets[i];
            storedForms(m_folded[offsets[i]], m_probes[i].forms);
        }
    }
}

bool PageSearch::matchesAt(const unsigned char* p) const {
    for (std::size_t j = 0; j < m_folded.size(); ++j) {
        if (m_fold[p[j]] != static_cast<std::int32_t>(m_folded[j])) {
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

bool PageSearch::textMatches(std::string_view text) const {
    std::u32string folded;
    folded.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        folded += platform::FoldCase(platform::NextCodePoint(text, i));
    }
    return folded.find(m_folded) != std::u32string::npos;
}

void PageSearch::Scan(std::string_view pageFile, const Hit& onHit) const {
    if (m_folded.empty()) {
        return;
    }
    // Entries made only of characters the key stores are searched as stored bytes; entries
    // that hold references are read as text. Each entry is in one list at most.
    std::vector<Span> found;
    if (!m_twoAtMost) {
        scanEveryEntry(pageFile, found);
    } else {
        if (m_storable) {
            scanStoredBytes(pageFile, found);
        }
        std::vector<Span> referenced;
        scanReferencedEntries(pageFile, referenced);
        if (!referenced.empty()) {
            std::vector<Span> merged;
            std::merge(found.begin(), found.end(), referenced.begin(), referenced.end(), std::back_inserter(merged));
            found = std::move(merged);
        }
    }
    const auto* p = reinterpret_cast<const unsigned char*>(pageFile.data());
    std::size_t counted = 0;
    std::size_t entries = 0;
    for (const auto& [begin, end] : found) {
        entries += countEntries(p, counted, begin) + 1;
        counted = end;
        onHit(entries, entryText(p + begin, end - begin, m_key));
    }
}

void PageSearch::scanStoredBytes(std::string_view pageFile, std::vector<Span>& found) const {
    // The stored bytes are searched as they are: a position is a candidate when three of its
    // bytes are stored forms of the text's first, middle and last characters, and only
    // candidates are compared whole. Line ends and bytes below the key fold to no character, so
    // a match never runs across two entries or through a byte that cannot be deciphered.
    const auto* p = reinterpret_cast<const unsigned char*>(pageFile.data());
    const std::size_t n = pageFile.size();
    const std::size_t m = m_folded.size();
    if (n < m) {
        return;
    }
    const std::size_t starts = n - m + 1;
    const auto key = static_cast<unsigned char>(m_key);
    const Probe first = m_probes[0], middle = m_probes[1], last = m_probes[2];

    std::size_t next = 0; // candidates before this lie in an entry already listed or skipped

    auto atCandidate = [&](std::size_t s) {
        if (s < next || !matchesAt(p + s)) {
            return;
        }
        // Bytes below the key end the walk: a line end, or a byte that cannot be deciphered.
        std::size_t begin = s;
        while (begin > 0 && p[begin - 1] >= key) {
            --begin;
        }
        std::size_t end = s + m;
        while (end < n && p[end] >= key) {
            ++end;
        }
        const bool deciphers = (begin == 0 || isLineEnd(p[begin - 1])) && (end == n || isLineEnd(p[end]));
        if (!deciphers) {
            while (end < n && !isLineEnd(p[end])) {
                ++end;
            }
            next = end;
            return;
        }
        next = end;
        // An entry holding a reference is read as text by the other scan.
        if (!holdsReference(p + begin, end - begin)) {
            found.emplace_back(begin, end);
        }
    };

    // Blocks of positions are tested at once, without branches, so that the compiler can
    // compare many bytes in one instruction; most blocks hold no candidate at all.
    constexpr std::size_t kBlock = 128;
    std::size_t block = 0;
    for (; block + kBlock <= starts; block += kBlock) {
        const unsigned char* x = p + block + first.offset;
        const unsigned char* y = p + block + middle.offset;
        const unsigned char* z = p + block + last.offset;
        unsigned char candidate[kBlock];
        unsigned char any = 0;
        for (std::size_t j = 0; j < kBlock; ++j) {
            candidate[j] = static_cast<unsigned char>(((x[j] == first.forms[0]) | (x[j] == first.forms[1])) &
                                                      ((y[j] == middle.forms[0]) | (y[j] == middle.forms[1])) &
                                                      ((z[j] == last.forms[0]) | (z[j] == last.forms[1])));
            any |= candidate[j];
        }
        for (std::size_t part = 0; any && part < kBlock; part += 64) {
            for (std::uint64_t mask = candidateMask(candidate + part); mask != 0; mask &= mask - 1) {
                atCandidate(block + part + static_cast<std::size_t>(std::countr_zero(mask)));
            }
        }
    }
    for (std::size_t s = block; s < starts; ++s) {
        atCandidate(s);
    }
}

void PageSearch::scanReferencedEntries(std::string_view pageFile, std::vector<Span>& found) const {
    // Only entries that hold the stored "&#" of a reference are read as text: a diary without
    // references costs one quick look for a byte.
    const auto* p = reinterpret_cast<const unsigned char*>(pageFile.data());
    const std::size_t n = pageFile.size();
    const auto amp = static_cast<unsigned char>('&' + m_key);
    const auto hash = static_cast<unsigned char>('#' + m_key);
    std::size_t at = 0;
    while (at + 1 < n) {
        const void* hit = std::memchr(p + at, amp, n - at - 1);
        if (!hit) {
            return;
        }
        const std::size_t s = static_cast<std::size_t>(static_cast<const unsigned char*>(hit) - p);
        if (p[s + 1] != hash) {
            at = s + 1;
            continue;
        }
        std::size_t begin = s;
        while (begin > 0 && !isLineEnd(p[begin - 1])) {
            --begin;
        }
        std::size_t end = s;
        while (end < n && !isLineEnd(p[end])) {
            ++end;
        }
        at = end;
        const bool deciphers =
            std::all_of(p + begin, p + end, [&](unsigned char c) { return c >= static_cast<unsigned>(m_key); });
        if (deciphers && textMatches(entryText(p + begin, end - begin, m_key))) {
            found.emplace_back(begin, end);
        }
    }
}

// The plain way, one entry after the other: for texts whose characters have more stored forms
// than the quick way looks at.
void PageSearch::scanEveryEntry(std::string_view pageFile, std::vector<Span>& found) const {
    const auto* p = reinterpret_cast<const unsigned char*>(pageFile.data());
    platform::ForEachLine(pageFile, [&](std::string_view line) {
        const auto begin = static_cast<std::size_t>(line.data() - pageFile.data());
        if (line.empty()) {
            return;
        }
        const bool deciphers = std::all_of(line.begin(), line.end(), [&](char c) {
            return static_cast<unsigned char>(c) >= static_cast<unsigned>(m_key);
        });
        if (deciphers && textMatches(entryText(p + begin, line.size(), m_key))) {
            found.emplace_back(begin, begin + line.size());
        }
    });
}
