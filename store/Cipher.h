#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The ciphers of the classic member files, in one place: the keyed shift, which raises every
// stored byte by the member key (100 to 130) and keeps what the key cannot store as "&#N;"
// references (see TextCodec), and the fixed shift of 128 for the key line of the password file.
// Pages, captions, masking, the password file and Find all go through here.
class Cipher {
public:
    static constexpr int kMinKey = 100;
    static constexpr int kMaxKey = 130;
    static constexpr int kFixedShift = 128;

    // The keyed shift under key, between the member's text (Unicode) and the bytes of a file.
    // A character the key cannot store is stored as a reference of characters it can, so
    // nothing is lost and every stored byte stays at or above the key. Deciphering a byte below
    // the key throws CipherError.
    static std::string encryptWithKey(std::string_view text, int key);
    static std::string decryptWithKey(std::string_view text, int key);

    // The fixed shift, for the key line's digits. Fixed-enciphering a byte of 128 or more, or
    // deciphering one below 128, throws CipherError.
    static std::string encryptFixed(std::string_view text);
    static std::string decryptFixed(std::string_view text);

    // Lowers the n stored bytes at in by key into out: the Windows-1252 text before any
    // reference is turned back. False, leaving out undefined, when a byte lies below the key.
    static bool lowerInto(char* out, const char* in, std::size_t n, int key);

    // The stored bytes of the reference that stands for c under key.
    static std::string encipheredReference(char32_t c, int key);
};
