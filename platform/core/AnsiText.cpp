#include "platform/core/AnsiText.h"

#include <array>

namespace platform {
namespace {

constexpr std::array<unsigned char, 256> makeUpperTable() {
    std::array<unsigned char, 256> table{};
    for (int i = 0; i < 256; ++i) {
        table[i] = static_cast<unsigned char>(i);
    }
    for (int c = 'a'; c <= 'z'; ++c) {
        table[c] = static_cast<unsigned char>(c - 32);
    }
    for (int c = 0xE0; c <= 0xFE; ++c) {
        if (c != 0xF7) {
            table[c] = static_cast<unsigned char>(c - 32);
        }
    }
    table[0x9A] = 0x8A; // š
    table[0x9C] = 0x8C; // œ
    table[0x9E] = 0x8E; // ž
    table[0xFF] = 0x9F; // ÿ
    return table;
}

constexpr auto kUpper = makeUpperTable();

} // namespace

std::string UCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(kUpper[static_cast<unsigned char>(c)]);
    }
    return out;
}

std::size_t InStr(std::string_view text, std::string_view what) {
    const std::size_t pos = text.find(what);
    return pos == std::string_view::npos ? 0 : pos + 1;
}

} // namespace platform
