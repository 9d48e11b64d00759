#include "support/core/QuickKdf.h"

#include <sodium.h>
#include <stdexcept>

KdfParameters quickKdf() {
    const auto kdf =
        KdfParameters::fromStored(KdfParameters::kArgon2id13, crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN);
    if (!kdf) {
        throw std::logic_error("libsodium's least key derivation is refused");
    }
    return *kdf;
}
