#include "store/Cipher.h"

#include <algorithm>

#include "store/ByteScan.h"
#include "store/CipherError.h"
#include "store/TextCodec.h"

namespace {

// Appends the stored bytes lowered by shift to out, a piece at a time, each lowered where it lies
// while still in the cache. Tells whether every byte lay at or above the shift, and whether the
// text may need decoding: a byte beyond ASCII, or an "&" that may begin a reference.
byteScan::Lowered lowerAppend(std::string& out, std::string_view stored, int shift) {
    constexpr std::size_t kPiece = 4096;
    const std::size_t at = out.size();
    if (out.capacity() - at < stored.size()) {
        out.reserve(std::max(at + stored.size(), 2 * out.capacity()));
    }
    const auto* from = reinterpret_cast<const unsigned char*>(stored.data());
    byteScan::Lowered all;
    for (std::size_t done = 0; done < stored.size(); done += kPiece) {
        const std::size_t n = std::min(kPiece, stored.size() - done);
        out.resize(at + done + n);
        const byteScan::Lowered piece =
            byteScan::lower(from + done, reinterpret_cast<unsigned char*>(out.data() + at + done), n,
                            static_cast<unsigned char>(shift));
        all.readable = all.readable && piece.readable;
        all.needsDecoding = all.needsDecoding || piece.needsDecoding;
    }
    return all;
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
    const byteScan::Lowered lowered = lowerAppend(out, stored, key);
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
