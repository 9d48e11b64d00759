#include "store/TextCodec.h"

#include <algorithm>
#include <array>

#include "platform/core/Cp1252.h"
#include "platform/core/Unicode.h"

namespace {

// Reads the reference that starts at storable[i] ("&#", 1 to 7 digits without a leading zero,
// ";"), moving i past it; nothing when there is none there.
bool readReference(std::string_view storable, std::size_t& i, char32_t& c) {
    std::size_t k = i + 2;
    if (k >= storable.size() || storable[i + 1] != '#' || storable[k] < '1' || storable[k] > '9') {
        return false;
    }
    char32_t value = 0;
    for (; k < storable.size() && k - i - 2 < 8 && storable[k] >= '0' && storable[k] <= '9'; ++k) {
        value = value * 10 + static_cast<char32_t>(storable[k] - '0');
    }
    if (k >= storable.size() || storable[k] != ';' || k - i - 2 > 7 || value > 0x10FFFF ||
        (value >= 0xD800 && value <= 0xDFFF)) {
        return false;
    }
    c = value;
    i = k + 1;
    return true;
}

} // namespace

bool storableNeedsDecoding(std::string_view storable) {
    unsigned char any = 0;
    for (char c : storable) {
        const auto b = static_cast<unsigned char>(c);
        any |= static_cast<unsigned char>((b & 0x80) | (b == '&'));
    }
    return any != 0;
}

bool keyStores(char32_t c, int key) {
    const int byte = platform::unicodeToCp1252(c);
    return byte >= 0 && byte + key <= 255;
}

std::string referenceText(char32_t c) {
    return "&#" + std::to_string(static_cast<unsigned long>(c)) + ";";
}

std::string storableText(std::string_view text, int key) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const char32_t c = platform::nextCodePoint(text, i);
        if (keyStores(c, key)) {
            out += static_cast<char>(platform::unicodeToCp1252(c));
        } else {
            out += referenceText(c);
        }
    }
    return out;
}

std::string textFromStorable(std::string_view storable, int key) {
    // Each byte above ASCII as the UTF-8 of its Windows-1252 character: its length, then its bytes.
    static const auto utf8Of = [] {
        std::array<std::array<char, 4>, 128> table{};
        for (int byte = 0x80; byte <= 0xFF; ++byte) {
            std::string text;
            platform::appendUtf8(text, platform::cp1252ToUnicode(static_cast<unsigned char>(byte)));
            auto& entry = table[static_cast<std::size_t>(byte - 0x80)];
            entry[0] = static_cast<char>(text.size());
            std::copy(text.begin(), text.end(), entry.begin() + 1);
        }
        return table;
    }();
    std::string out;
    out.reserve(storable.size() + storable.size() / 8);
    const char* p = storable.data();
    const std::size_t n = storable.size();
    for (std::size_t i = 0; i < n;) {
        // ASCII other than "&" is its own text, and most text is made of it.
        std::size_t run = i;
        while (run < n && static_cast<unsigned char>(p[run]) < 0x80 && p[run] != '&') {
            ++run;
        }
        out.append(p + i, run - i);
        if (run == n) {
            break;
        }
        i = run;
        const auto byte = static_cast<unsigned char>(p[i]);
        char32_t c = 0;
        std::size_t after = i;
        if (byte == '&') {
            if (readReference(storable, after, c) && !keyStores(c, key)) {
                platform::appendUtf8(out, c);
                i = after;
            } else {
                out += '&';
                ++i;
            }
        } else {
            const auto& utf8 = utf8Of[byte - 0x80u];
            out.append(utf8.data() + 1, static_cast<std::size_t>(utf8[0]));
            ++i;
        }
    }
    return out;
}
