#pragma once

#include <array>
#include <string_view>

#include "store/GuardedBuffer.h"
#include "store/KdfParameters.h"
#include "store/SealedRecord.h"

// The secrets of a protected diary while its member is logged in, all in guarded memory: the
// data key its records are sealed under, the key derived from the password (so that the
// password file can be written again, for a conversion, without the slow derivation), the
// password as the member chose it, and the classic member key the diary was kept under before.
struct DiaryKeys {
    GuardedBuffer dataKey;     // kDataKeyBytes
    GuardedBuffer passwordKey; // KdfParameters::kKeyBytes, of the folded password under salt
    GuardedBuffer password;    // UTF-8, letter case as chosen
    std::array<unsigned char, KdfParameters::kSaltBytes> salt{};
    KdfParameters kdf = KdfParameters::forNewDiary();
    DiaryId diaryId{};
    int classicKey = 0; // 100 to 130

    // The keys of a diary about to be protected: a random data key, diary id and salt, and the
    // key of password (letter case folded as the login folds it) under kdf.
    static DiaryKeys create(int classicKey, std::string_view password, const KdfParameters& kdf);

    // The same diary under another password: a new salt and password key; data key, diary id and
    // classic key stay, so every record still opens.
    DiaryKeys withPassword(std::string_view newPassword, const KdfParameters& newKdf) const;
};
