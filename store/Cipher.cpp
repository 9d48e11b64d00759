#include "store/Cipher.h"

#include <algorithm>

#include "store/CipherError.h"
#include "store/TextCodec.h"

namespace {

// Appends the stored bytes lowered by shift to out, a piece at a time: each piece is copied and
// then lowered where it lies, still in the cache, with no call per byte and nothing cleared
// first. Tells whether every byte lay at or above the shift, and whether the text may need
// decoding: a byte beyond ASCII, or an "&" that may begin a reference.
struct Lowered {
    bool readable = true;
    bool needsDecoding = false;
};
Lowered lowerAppend(std::string& out, std::string_view stored, int shift) {
    constexpr std::size_t kPiece = 4096;
    const std::size_t at = out.size();
    if (out.capacity() - at < stored.size()) {
        out.reserve(std::max(at + stored.size(), 2 * out.capacity()));
    }
    const auto k = static_cast<unsigned char>(shift);
    unsigned char lowest = 0xFF;
    unsigned char flags = 0; // bit 7: beyond ASCII or "&"
    for (std::size_t from = 0; from < stored.size(); from += kPiece) {
        const std::size_t n = std::min(kPiece, stored.size() - from);
        const std::size_t piece = out.size();
        out.append(stored.data() + from, n);
        auto* p = reinterpret_cast<unsigned char*>(out.data() + piece);
        // Branch-free reductions, so that the compiler lowers many bytes in one instruction.
        for (std::size_t i = 0; i < n; ++i) {
            const unsigned char b = p[i];
            const auto c = static_cast<unsigned char>(b - k);
            p[i] = c;
            lowest = b < lowest ? b : lowest;
            flags |= static_cast<unsigned char>(c | ((c == '&') << 7));
        }
    }
    return {stored.empty() || lowest >= k, (flags & 0x80) != 0};
}

std::string lowered(std::string_view text, int shift) {
    std::string out;
    if (!lowerAppend(out, text, shift).readable) {
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

bool Cipher::appendDeciphered(std::string& out, std::string_view stored, int key, bool* decoded) {
    const std::size_t at = out.size();
    const Lowered lowered = lowerAppend(out, stored, key);
    if (!lowered.readable) {
        out.resize(at);
        return false;
    }
    if (lowered.needsDecoding) {
        // Most entries are plain ASCII and already are their text; the rest are turned back into
        // Unicode, references included.
        const std::string text = textFromStorable(std::string_view(out).substr(at), key);
        out.resize(at);
        out += text;
    }
    if (decoded) {
        *decoded = lowered.needsDecoding;
    }
    return true;
}

std::string Cipher::encryptWithKey(std::string_view text, int key) {
    std::string out = storableText(text, key);
    raise(out, key);
    return out;
}

std::string Cipher::decryptWithKey(std::string_view text, int key) {
    std::string out;
    if (!appendDeciphered(out, text, key)) {
        throw CipherError("the text holds a byte below the key");
    }
    return out;
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
