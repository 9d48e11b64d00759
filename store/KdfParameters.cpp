#include "store/KdfParameters.h"

#include <new>
#include <sodium.h>

#include "store/SodiumLibrary.h"

namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;
// Measured with bench_core's BM_ProtectedLogin on the two-core machines the program is built on:
// 0.54-0.56 s on the faster, about 0.8 s on the slower (where 3 passes took 0.6 s, and 0.43 s on
// the faster, short of half a second).
constexpr std::uint64_t kNewDiaryPasses = 4;
constexpr std::uint64_t kNewDiaryMemory = 256 * kMiB;
static_assert(kNewDiaryPasses >= 3 && kNewDiaryMemory >= 64 * kMiB, "a protected diary is never cheap to guess");

// Beyond this a file is taken for damaged rather than make a login last for hours.
constexpr std::uint64_t kMostPasses = 16;
constexpr std::uint64_t kMostMemory = 4096 * kMiB;

} // namespace

KdfParameters KdfParameters::forNewDiary() {
    return KdfParameters(kNewDiaryPasses, kNewDiaryMemory);
}

std::optional<KdfParameters> KdfParameters::fromStored(std::uint32_t algorithm, std::uint64_t passes,
                                                       std::uint64_t memory) {
    if (algorithm != kArgon2id13 || passes < crypto_pwhash_OPSLIMIT_MIN || passes > crypto_pwhash_OPSLIMIT_MAX ||
        passes > kMostPasses || memory < crypto_pwhash_MEMLIMIT_MIN || memory > crypto_pwhash_MEMLIMIT_MAX ||
        memory > kMostMemory) {
        return std::nullopt;
    }
    return KdfParameters(passes, memory);
}

GuardedBuffer KdfParameters::deriveKey(std::string_view foldedPassword, const unsigned char* salt) const {
    startSodium();
    GuardedBuffer key(kKeyBytes);
    if (crypto_pwhash(key.data(), key.size(), foldedPassword.data(), foldedPassword.size(), salt, m_passes,
                      static_cast<std::size_t>(m_memory), crypto_pwhash_ALG_ARGON2ID13) != 0) {
        // crypto_pwhash fails only when the memory it asks for cannot be had.
        throw std::bad_alloc();
    }
    return key;
}
