#include "store/DiaryKeys.h"

#include <sodium.h>

#include "platform/core/Unicode.h"
#include "platform/core/Wipe.h"
#include "store/SodiumLibrary.h"

namespace {

GuardedBuffer foldedKey(std::string_view password, const KdfParameters& kdf, const unsigned char* salt) {
    std::string folded = platform::foldCase(password);
    GuardedBuffer key;
    try {
        key = kdf.deriveKey(folded, salt);
    } catch (...) {
        platform::wipeKeepingRoom(folded);
        throw;
    }
    platform::wipeKeepingRoom(folded);
    return key;
}

} // namespace

DiaryKeys DiaryKeys::create(int classicKey, std::string_view password, const KdfParameters& kdf) {
    startSodium();
    DiaryKeys keys;
    keys.dataKey = GuardedBuffer(kDataKeyBytes);
    randombytes_buf(keys.dataKey.data(), keys.dataKey.size());
    randombytes_buf(keys.diaryId.data(), keys.diaryId.size());
    keys.classicKey = classicKey;
    keys.password = GuardedBuffer::copyOf(password);
    keys.kdf = kdf;
    randombytes_buf(keys.salt.data(), keys.salt.size());
    keys.passwordKey = foldedKey(password, kdf, keys.salt.data());
    return keys;
}

DiaryKeys DiaryKeys::withPassword(std::string_view newPassword, const KdfParameters& newKdf) const {
    startSodium();
    DiaryKeys keys;
    keys.dataKey = GuardedBuffer::copyOf(dataKey.view());
    keys.diaryId = diaryId;
    keys.classicKey = classicKey;
    keys.password = GuardedBuffer::copyOf(newPassword);
    keys.kdf = newKdf;
    randombytes_buf(keys.salt.data(), keys.salt.size());
    keys.passwordKey = foldedKey(newPassword, newKdf, keys.salt.data());
    return keys;
}
