#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "store/GuardedBuffer.h"

// How hard the key of a protected diary is to derive from its password: Argon2id (libsodium's
// crypto_pwhash) with so many passes over so much memory. New diaries get forNewDiary; a password
// file says what it was written with, so a later copy of the program may raise the cost without
// shutting out the diaries of today.
class KdfParameters {
public:
    static constexpr std::uint32_t kArgon2id13 = 2; // the number a password file gives Argon2id 1.3
    static constexpr std::size_t kSaltBytes = 16;
    static constexpr std::size_t kKeyBytes = 32;

    // The cost the program writes: at least 3 passes over 64 MiB, set so that a login takes half
    // a second to a second here. Nothing else in the program makes parameters for writing.
    static KdfParameters forNewDiary();

    // Parameters as a password file holds them; nothing when libsodium could not use them or
    // they would hold a login for much longer than a program of today ever asks (a damaged or
    // hand-made file).
    static std::optional<KdfParameters> fromStored(std::uint32_t algorithm, std::uint64_t passes, std::uint64_t memory);

    std::uint32_t algorithm() const { return kArgon2id13; }
    std::uint64_t passes() const { return m_passes; }
    std::uint64_t memory() const { return m_memory; } // bytes

    // The 32-byte key of foldedPassword (already letter-case folded) under salt (kSaltBytes).
    // Throws std::bad_alloc when the memory it needs cannot be had.
    GuardedBuffer deriveKey(std::string_view foldedPassword, const unsigned char* salt) const;

    bool operator==(const KdfParameters&) const = default;

private:
    KdfParameters(std::uint64_t passes, std::uint64_t memory) : m_passes(passes), m_memory(memory) {}
    std::uint64_t m_passes;
    std::uint64_t m_memory;
};
