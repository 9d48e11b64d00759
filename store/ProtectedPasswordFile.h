#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "store/DiaryKeys.h"
#include "store/KdfParameters.h"

// Where a protected diary stands: protected, or part-way through a conversion that a crash
// stopped. While a conversion is under way a classic captions or page file still reads under
// the classic key.
enum class ConversionState : unsigned char { Protected = 0, BeingProtected = 1, BeingUnprotected = 2 };

// The password file of a protected diary: the key derivation and its salt, the diary id, the
// state, and the data key, classic key and password sealed under the key derived from the
// password. See docs/protected-diary-format.md.
class ProtectedPasswordFile {
public:
    // The file's fields from its bytes. Throws ProtectedFileError for a damaged file or one of a
    // newer format; a wrong password cannot be told from here.
    static ProtectedPasswordFile parse(std::string_view data);

    // The diary's keys when typedPassword (letter case ignored) is its password; nothing when it
    // is not. Throws std::bad_alloc when the key derivation cannot have its memory, and
    // ProtectedFileError when the key block opens but holds nonsense.
    std::optional<DiaryKeys> open(std::string_view typedPassword) const;

    // The bytes of the password file for keys in state, sealed under keys.passwordKey with a new
    // nonce.
    static std::string content(const DiaryKeys& keys, ConversionState state);

    ConversionState state() const { return m_state; }
    const KdfParameters& kdf() const { return m_kdf; }
    const DiaryId& diaryId() const { return m_diaryId; }

private:
    ProtectedPasswordFile(KdfParameters kdf) : m_kdf(kdf) {}
    KdfParameters m_kdf;
    std::array<unsigned char, KdfParameters::kSaltBytes> m_salt{};
    DiaryId m_diaryId{};
    ConversionState m_state = ConversionState::Protected;
    std::string m_clearPart; // what the key block's associated data is made of
    std::string m_nonce;
    std::string m_sealed;
};
