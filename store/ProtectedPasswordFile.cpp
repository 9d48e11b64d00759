#include "store/ProtectedPasswordFile.h"

#include <cstring>
#include <sodium.h>
#include <stdexcept>

#include "platform/core/Unicode.h"
#include "platform/core/Wipe.h"
#include "store/Base64Text.h"
#include "store/MemberFileForm.h"
#include "store/ProtectedFileError.h"
#include "store/SodiumLibrary.h"

namespace {

// Offsets of the body's fields.
constexpr std::size_t kAlgorithmAt = 0;
constexpr std::size_t kPassesAt = 4;
constexpr std::size_t kMemoryAt = 12;
constexpr std::size_t kSaltAt = 20;
constexpr std::size_t kDiaryIdAt = kSaltAt + KdfParameters::kSaltBytes;
constexpr std::size_t kStateAt = kDiaryIdAt + kDiaryIdBytes;
constexpr std::size_t kNonceAt = kStateAt + 1;
constexpr std::size_t kNonceBytes = crypto_aead_xchacha20poly1305_ietf_NPUBBYTES;
constexpr std::size_t kSealedAt = kNonceAt + kNonceBytes;
constexpr std::size_t kTagBytes = crypto_aead_xchacha20poly1305_ietf_ABYTES;
constexpr std::size_t kCheckBytes = 16;
// Data key, classic key and at least one byte of password.
constexpr std::size_t kLeastKeyBlock = kDataKeyBytes + 1 + 1;
static_assert(kSealedAt == 77);

ProtectedFileError damaged(const std::string& what) {
    return ProtectedFileError(ProtectedFileError::Problem::Damaged, what);
}

std::uint64_t littleEndian(const unsigned char* p, int bytes) {
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = (value << 8) | p[i];
    }
    return value;
}

void putLittleEndian(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>(value >> (8 * i));
    }
}

std::array<unsigned char, kCheckBytes> checkValue(std::string_view header, std::string_view body) {
    std::array<unsigned char, kCheckBytes> check{};
    crypto_generichash_state state;
    if (crypto_generichash_init(&state, nullptr, 0, check.size()) != 0 ||
        crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(header.data()), header.size()) != 0 ||
        crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(body.data()), body.size()) != 0 ||
        crypto_generichash_final(&state, check.data(), check.size()) != 0) {
        throw std::runtime_error("the check value of the password file cannot be computed");
    }
    return check;
}

const unsigned char* bytesOf(std::string_view s) {
    return reinterpret_cast<const unsigned char*>(s.data());
}

} // namespace

ProtectedPasswordFile ProtectedPasswordFile::parse(std::string_view data) {
    startSodium();
    const std::size_t bodyAt = checkProtectedHeader(data, ProtectedFileKind::Password);
    const std::string header = protectedHeader(ProtectedFileKind::Password);
    std::string_view rest = data.substr(bodyAt);
    rest = rest.substr(0, rest.find_first_of("\r\n"));
    std::string body;
    if (!bytesOfBase64(rest, body)) {
        throw damaged("its second line is not the text of its sealed keys");
    }
    if (body.size() < kSealedAt + kLeastKeyBlock + kTagBytes + kCheckBytes) {
        throw damaged("it is cut short");
    }
    const std::string_view checked = std::string_view(body).substr(0, body.size() - kCheckBytes);
    const auto check = checkValue(header, checked);
    if (sodium_memcmp(check.data(), bytesOf(body) + checked.size(), kCheckBytes) != 0) {
        throw damaged("its check value does not match what it holds");
    }
    const auto* b = bytesOf(body);
    const auto kdf = KdfParameters::fromStored(static_cast<std::uint32_t>(littleEndian(b + kAlgorithmAt, 4)),
                                               littleEndian(b + kPassesAt, 8), littleEndian(b + kMemoryAt, 8));
    if (!kdf) {
        throw damaged("its key derivation is not one Jotterel uses");
    }
    if (b[kStateAt] > static_cast<unsigned char>(ConversionState::BeingUnprotected)) {
        throw damaged("its state is unknown");
    }
    ProtectedPasswordFile file(*kdf);
    std::memcpy(file.m_salt.data(), b + kSaltAt, file.m_salt.size());
    std::memcpy(file.m_diaryId.data(), b + kDiaryIdAt, file.m_diaryId.size());
    file.m_state = static_cast<ConversionState>(b[kStateAt]);
    file.m_clearPart = header + body.substr(0, kNonceAt);
    file.m_nonce = body.substr(kNonceAt, kNonceBytes);
    file.m_sealed = std::string(checked.substr(kSealedAt));
    return file;
}

std::optional<DiaryKeys> ProtectedPasswordFile::open(std::string_view typedPassword) const {
    std::string folded = platform::foldCase(typedPassword);
    GuardedBuffer passwordKey;
    try {
        passwordKey = m_kdf.deriveKey(folded, m_salt.data());
    } catch (...) {
        platform::wipeKeepingRoom(folded);
        throw;
    }
    platform::wipeKeepingRoom(folded);
    GuardedBuffer block(m_sealed.size() - kTagBytes);
    unsigned long long blockSize = 0;
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(block.data(), &blockSize, nullptr, bytesOf(m_sealed),
                                                   m_sealed.size(), bytesOf(m_clearPart), m_clearPart.size(),
                                                   bytesOf(m_nonce), passwordKey.data()) != 0) {
        return std::nullopt;
    }
    const int classicKey = block.data()[kDataKeyBytes];
    if (classicKey < 100 || classicKey > 130) {
        throw damaged("its classic member key is out of range");
    }
    DiaryKeys keys;
    keys.dataKey = GuardedBuffer::copyOf(block.view().substr(0, kDataKeyBytes));
    keys.classicKey = classicKey;
    keys.password = GuardedBuffer::copyOf(block.view().substr(kDataKeyBytes + 1));
    keys.passwordKey = std::move(passwordKey);
    keys.salt = m_salt;
    keys.kdf = m_kdf;
    keys.diaryId = m_diaryId;
    return keys;
}

std::string ProtectedPasswordFile::content(const DiaryKeys& keys, ConversionState state) {
    startSodium();
    if (keys.dataKey.size() != kDataKeyBytes || keys.passwordKey.size() != KdfParameters::kKeyBytes ||
        keys.password.empty() || keys.classicKey < 100 || keys.classicKey > 130) {
        throw std::logic_error("a password file is written only for the whole keys of a diary");
    }
    const std::string header = protectedHeader(ProtectedFileKind::Password);
    std::string body;
    putLittleEndian(body, keys.kdf.algorithm(), 4);
    putLittleEndian(body, keys.kdf.passes(), 8);
    putLittleEndian(body, keys.kdf.memory(), 8);
    body.append(reinterpret_cast<const char*>(keys.salt.data()), keys.salt.size());
    body.append(reinterpret_cast<const char*>(keys.diaryId.data()), keys.diaryId.size());
    body += static_cast<char>(state);
    const std::string clearPart = header + body;

    GuardedBuffer block(kDataKeyBytes + 1 + keys.password.size());
    std::memcpy(block.data(), keys.dataKey.data(), kDataKeyBytes);
    block.data()[kDataKeyBytes] = static_cast<unsigned char>(keys.classicKey);
    std::memcpy(block.data() + kDataKeyBytes + 1, keys.password.data(), keys.password.size());

    std::string nonce(kNonceBytes, '\0');
    randombytes_buf(nonce.data(), nonce.size());
    body += nonce;
    std::string sealed(block.size() + kTagBytes, '\0');
    unsigned long long sealedSize = 0;
    if (crypto_aead_xchacha20poly1305_ietf_encrypt(reinterpret_cast<unsigned char*>(sealed.data()), &sealedSize,
                                                   block.data(), block.size(), bytesOf(clearPart), clearPart.size(),
                                                   nullptr, bytesOf(nonce), keys.passwordKey.data()) != 0) {
        throw std::runtime_error("the keys of the diary could not be sealed");
    }
    body += sealed;
    const auto check = checkValue(header, body);
    body.append(reinterpret_cast<const char*>(check.data()), check.size());
    return header + "\r\n" + base64Text(bytesOf(body), body.size()) + "\r\n";
}
