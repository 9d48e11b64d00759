#include "store/Cipher.h"

#include "store/CipherError.h"
#include "store/TextCodec.h"

namespace {

std::string lowered(std::string_view text, int shift) {
    std::string out(text.size(), '\0');
    if (!Cipher::lowerInto(out.data(), text.data(), text.size(), shift)) {
        throw CipherError("the text holds a byte below the key");
    }
    return out;
}

void raise(std::string& text, int shift) {
    for (char& c : text) {
        c = static_cast<char>(static_cast<unsigned char>(c) + shift);
    }
}

} // namespace

bool Cipher::lowerInto(char* out, const char* in, std::size_t n, int key) {
    // Written without early exit so the compiler can vectorise it.
    const auto shift = static_cast<unsigned>(key);
    unsigned char below = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(in[i]);
        out[i] = static_cast<char>(c - shift);
        below |= static_cast<unsigned char>(c < shift);
    }
    return below == 0;
}

std::string Cipher::encryptWithKey(std::string_view text, int key) {
    std::string out = storableText(text, key);
    raise(out, key);
    return out;
}

std::string Cipher::decryptWithKey(std::string_view text, int key) {
    return textFromStorable(lowered(text, key), key);
}

std::string Cipher::encryptFixed(std::string_view text) {
    std::string out(text);
    for (char c : out) {
        if (static_cast<unsigned char>(c) >= kFixedShift) {
            throw CipherError("the text holds a byte of 128 or more");
        }
    }
    raise(out, kFixedShift);
    return out;
}

std::string Cipher::decryptFixed(std::string_view text) {
    return lowered(text, kFixedShift);
}

std::string Cipher::encipheredReference(char32_t c, int key) {
    std::string reference = referenceText(c);
    raise(reference, key);
    return reference;
}
