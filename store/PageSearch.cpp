#include "store/PageSearch.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/core/CaseFoldingTable.h"
#include "platform/core/Cp1252.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Unicode.h"
#include "store/Cipher.h"
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
void decipherInto(char* out, const unsigned char* in, std::size_t n, int key) {
    (void)Cipher::lowerInto(out, reinterpret_cast<const char*>(in), n, key);
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

PageSearch::PageSearch(std::string_view searchText, int key) : m_key(key) {
    for (std::size_t i = 0; i < searchText.size();) {
        m_folded += platform::foldCase(platform::nextCodePoint(searchText, i));
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
            m_probes[i].offset = offsets[i];
            m_probes[i].forms[0] = forms[0];
            m_probes[i].forms[1] = forms.size() > 1 ? forms[1] : forms[0];
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

bool PageSearch::textMatches(std::string_view text) const {
    std::u32string folded;
    folded.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        folded += platform::foldCase(platform::nextCodePoint(text, i));
    }
    return folded.find(m_folded) != std::u32string::npos;
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
    // Blocks of positions are tested at once, without branches, so that the compiler can
    // compare many bytes in one instruction; most blocks hold no candidate at all.
    const std::size_t starts = n - m_runLength + 1;
    const Probe first = m_probes[0], middle = m_probes[1], last = m_probes[2];
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
                const std::size_t s = block + part + static_cast<std::size_t>(std::countr_zero(mask));
                if (anchorAt(p + s)) {
                    atCandidate(s);
                }
            }
        }
    }
    for (std::size_t s = block; s < starts; ++s) {
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
    // characters stored as bytes that holds the whole text as its anchor is listed at once.
    const auto* p = reinterpret_cast<const unsigned char*>(pageFile.data());
    const std::size_t n = pageFile.size();
    const auto key = static_cast<unsigned char>(m_key);
    std::size_t next = 0;    // candidates before this lie in an entry already listed or skipped
    std::size_t counted = 0; // entries are counted up to here
    std::size_t entries = 0;
    std::string plain;
    findAnchor(pageFile, [&](std::size_t s) {
        if (s < next) {
            return;
        }
        // Bytes below the key end the walk: a line end, or a byte that cannot be deciphered.
        std::size_t begin = s;
        while (begin > 0 && p[begin - 1] >= key) {
            --begin;
        }
        std::size_t end = s;
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
        plain.resize(end - begin);
        decipherInto(plain.data(), p + begin, end - begin, m_key);
        // Plain ASCII, the common entry, is its own text and holds no reference.
        const bool plainAscii = !storableNeedsDecoding(plain);
        const bool references = !m_allStored || (!plainAscii && holdsReference(p + begin, end - begin));
        std::string decoded;
        if (!plainAscii) {
            decoded = textFromStorable(plain, m_key);
        }
        const std::string_view text = decoded.empty() ? std::string_view(plain) : std::string_view(decoded);
        if (references && !textMatches(text)) {
            return;
        }
        entries += countEntries(p, counted, begin) + 1;
        counted = end;
        onHit(entries, text);
    });
}

// The plain way, one entry after the other: for texts whose characters have more stored forms
// than the quick way looks at.
void PageSearch::scanEveryEntry(std::string_view pageFile, const Hit& onHit) const {
    std::size_t entry = 0;
    platform::forEachLine(pageFile, [&](std::string_view line) {
        if (line.empty()) {
            return;
        }
        ++entry;
        const bool deciphers = std::all_of(line.begin(), line.end(), [&](char c) {
            return static_cast<unsigned char>(c) >= static_cast<unsigned>(m_key);
        });
        if (!deciphers) {
            return;
        }
        const auto* p = reinterpret_cast<const unsigned char*>(line.data());
        std::string plain(line.size(), '\0');
        decipherInto(plain.data(), p, line.size(), m_key);
        const std::string text = textFromStorable(plain, m_key);
        if (textMatches(text)) {
            onHit(entry, text);
        }
    });
}
