#include "store/TextCodec.h"

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
    std::string out;
    out.reserve(storable.size() + storable.size() / 8);
    for (std::size_t i = 0; i < storable.size();) {
        const auto byte = static_cast<unsigned char>(storable[i]);
        char32_t c = 0;
        std::size_t after = i;
        if (byte == '&' && readReference(storable, after, c) && !keyStores(c, key)) {
            platform::appendUtf8(out, c);
            i = after;
        } else {
            platform::appendUtf8(out, platform::cp1252ToUnicode(byte));
            ++i;
        }
    }
    return out;
}
