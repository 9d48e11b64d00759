#include "platform/core/Unicode.h"

#include <algorithm>

#include "platform/core/CaseFoldingTable.h"

namespace platform {

char32_t nextCodePoint(std::string_view text, std::size_t& i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    std::size_t length = 0;
    char32_t c = 0;
    char32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
        least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
        least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
        least = 0x10000;
    }
    if (length == 0 || i + length > text.size()) {
        ++i;
        return kReplacementCharacter;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return kReplacementCharacter;
        }
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++i;
        return kReplacementCharacter;
    }
    i += length;
    return c;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        c = kReplacementCharacter;
    }
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++count) {
        nextCodePoint(text, i);
    }
    return count;
}

std::string firstCharacters(std::string_view text, std::size_t n) {
    std::size_t i = 0;
    for (std::size_t count = 0; count < n && i < text.size(); ++count) {
        nextCodePoint(text, i);
    }
    return std::string(text.substr(0, i));
}

char32_t foldCase(char32_t c) {
    if (c < 0x80) {
        return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
    }
    const detail::CaseFoldingPair* begin = detail::kCaseFolding;
    const detail::CaseFoldingPair* end = begin + detail::kCaseFoldingCount;
    const auto* hit =
        std::lower_bound(begin, end, c, [](const detail::CaseFoldingPair& p, char32_t v) { return p.from < v; });
    return hit != end && hit->from == c ? hit->to : c;
}

std::string foldCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t start = i;
        const char32_t c = nextCodePoint(text, i);
        if (c == kReplacementCharacter && i == start + 1 && static_cast<unsigned char>(text[start]) >= 0x80) {
            out += text[start]; // a byte that is not UTF-8 stays as it is
        } else {
            appendUtf8(out, foldCase(c));
        }
    }
    return out;
}

std::optional<Occurrence> findIgnoringCase(std::string_view text, std::string_view needle) {
    std::u32string folded;
    std::size_t needleUnits = 0;
    for (std::size_t i = 0; i < needle.size();) {
        const char32_t c = nextCodePoint(needle, i);
        folded += foldCase(c);
        needleUnits += c > 0xFFFF ? 2 : 1;
    }
    if (folded.empty()) {
        return Occurrence{};
    }
    std::size_t units = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t i = start;
        const char32_t first = nextCodePoint(text, i);
        if (foldCase(first) == folded[0]) {
            std::size_t k = 1;
            for (std::size_t j = i; k < folded.size() && j < text.size(); ++k) {
                if (foldCase(nextCodePoint(text, j)) != folded[k]) {
                    break;
                }
            }
            if (k == folded.size()) {
                // Simple folding keeps every character in its plane, so the occurrence takes as
                // many units as the needle.
                return Occurrence{units, needleUnits};
            }
        }
        units += first > 0xFFFF ? 2 : 1;
        start = i;
    }
    return std::nullopt;
}

} // namespace platform
