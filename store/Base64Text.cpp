#include "store/Base64Text.h"

#include <array>
#include <sodium.h>

#include "store/SodiumLibrary.h"

namespace {

constexpr unsigned char kNotBase64 = 0xFF;

constexpr std::array<unsigned char, 256> decodingTable() {
    std::array<unsigned char, 256> table{};
    for (auto& value : table) {
        value = kNotBase64;
    }
    constexpr std::string_view alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (std::size_t i = 0; i < alphabet.size(); ++i) {
        table[static_cast<unsigned char>(alphabet[i])] = static_cast<unsigned char>(i);
    }
    return table;
}

constexpr std::array<unsigned char, 256> kDecoding = decodingTable();

} // namespace

std::string base64Text(const unsigned char* bytes, std::size_t size) {
    startSodium();
    std::string text(sodium_base64_ENCODED_LEN(size, sodium_base64_VARIANT_ORIGINAL), '\0');
    sodium_bin2base64(text.data(), text.size(), bytes, size, sodium_base64_VARIANT_ORIGINAL);
    text.resize(text.size() - 1); // the terminating NUL
    return text;
}

bool bytesOfBase64(std::string_view text, std::string& out) {
    out.clear();
    if (text.size() % 4 != 0) {
        return false;
    }
    std::size_t padding = 0;
    if (!text.empty() && text.back() == '=') {
        padding = text.size() >= 2 && text[text.size() - 2] == '=' ? 2 : 1;
    }
    const std::size_t full = text.size() - padding; // characters that carry bits
    out.resize(text.size() / 4 * 3 - padding);
    unsigned bad = 0;
    std::size_t o = 0;
    std::size_t i = 0;
    for (; i + 4 <= full; i += 4) {
        const unsigned a = kDecoding[static_cast<unsigned char>(text[i])];
        const unsigned b = kDecoding[static_cast<unsigned char>(text[i + 1])];
        const unsigned c = kDecoding[static_cast<unsigned char>(text[i + 2])];
        const unsigned d = kDecoding[static_cast<unsigned char>(text[i + 3])];
        bad |= (a | b | c | d) & 0x80U;
        const unsigned word = (a << 18) | (b << 12) | (c << 6) | d;
        out[o++] = static_cast<char>(word >> 16);
        out[o++] = static_cast<char>(word >> 8);
        out[o++] = static_cast<char>(word);
    }
    if (padding > 0) {
        const unsigned a = kDecoding[static_cast<unsigned char>(text[i])];
        const unsigned b = kDecoding[static_cast<unsigned char>(text[i + 1])];
        const unsigned c = padding == 1 ? kDecoding[static_cast<unsigned char>(text[i + 2])] : 0;
        bad |= (a | b | c) & 0x80U;
        // The bits past the last byte must be zero, as an encoder leaves them.
        bad |= padding == 2 ? (b & 0x0FU) : (c & 0x03U);
        const unsigned word = (a << 18) | (b << 12) | (c << 6);
        out[o++] = static_cast<char>(word >> 16);
        if (padding == 1) {
            out[o++] = static_cast<char>(word >> 8);
        }
    }
    return bad == 0;
}
