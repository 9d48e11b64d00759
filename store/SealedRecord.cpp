#include "store/SealedRecord.h"

#include <cstring>
#include <sodium.h>
#include <stdexcept>

#include "platform/core/Wipe.h"
#include "store/Base64Text.h"
#include "store/MemberFileForm.h"
#include "store/SodiumLibrary.h"

namespace {

constexpr std::size_t kNonceBytes = crypto_aead_xchacha20poly1305_ietf_NPUBBYTES;
constexpr std::size_t kTagBytes = crypto_aead_xchacha20poly1305_ietf_ABYTES;
constexpr std::size_t kPlaceBytes = 1 + kDiaryIdBytes + 8 + 8;
static_assert(kNonceBytes == 24 && kTagBytes == 16);

// Version, diary id, file name, line number (little-endian).
std::array<unsigned char, kPlaceBytes> associatedData(const RecordPlace& place) {
    std::array<unsigned char, kPlaceBytes> data{};
    data[0] = static_cast<unsigned char>(kProtectedFormatVersion);
    std::memcpy(data.data() + 1, place.diaryId.data(), kDiaryIdBytes);
    // Member file names are eight characters; a shorter one is padded with zero bytes.
    std::memcpy(data.data() + 1 + kDiaryIdBytes, place.fileName.data(),
                std::min<std::size_t>(place.fileName.size(), 8));
    for (int i = 0; i < 8; ++i) {
        data[1 + kDiaryIdBytes + 8 + static_cast<std::size_t>(i)] = static_cast<unsigned char>(place.line >> (8 * i));
    }
    return data;
}

} // namespace

std::string sealRecord(const GuardedBuffer& dataKey, const RecordPlace& place, RecordKind kind,
                       std::string_view content) {
    startSodium();
    if (dataKey.size() != kDataKeyBytes) {
        throw std::logic_error("a record is sealed only under a data key");
    }
    const auto data = associatedData(place);
    // An ordinary buffer, wiped after: guarded memory costs system calls, and a diary of many
    // thousand entries is sealed record by record when it is protected.
    std::string plain(1 + content.size(), '\0');
    plain[0] = static_cast<char>(kind);
    content.copy(plain.data() + 1, content.size());
    std::string sealed(kNonceBytes + plain.size() + kTagBytes, '\0');
    auto* out = reinterpret_cast<unsigned char*>(sealed.data());
    randombytes_buf(out, kNonceBytes);
    unsigned long long sealedSize = 0;
    const int rc = crypto_aead_xchacha20poly1305_ietf_encrypt(
        out + kNonceBytes, &sealedSize, reinterpret_cast<const unsigned char*>(plain.data()), plain.size(), data.data(),
        data.size(), nullptr, out, dataKey.data());
    platform::wipeKeepingRoom(plain);
    if (rc != 0) {
        throw std::runtime_error("a record could not be sealed");
    }
    return base64Text(out, kNonceBytes + static_cast<std::size_t>(sealedSize));
}

bool openRecord(const GuardedBuffer& dataKey, const RecordPlace& place, std::string_view line, RecordKind& kind,
                std::string& content, std::string& work) {
    if (dataKey.size() != kDataKeyBytes || !bytesOfBase64(line, work) || work.size() < kNonceBytes + kTagBytes + 1) {
        return false;
    }
    const auto data = associatedData(place);
    const auto* in = reinterpret_cast<const unsigned char*>(work.data());
    content.resize(work.size() - kNonceBytes - kTagBytes);
    unsigned long long plainSize = 0;
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(reinterpret_cast<unsigned char*>(content.data()), &plainSize,
                                                   nullptr, in + kNonceBytes, work.size() - kNonceBytes, data.data(),
                                                   data.size(), in, dataKey.data()) != 0) {
        content.clear();
        return false;
    }
    const auto first = static_cast<unsigned char>(content[0]);
    if (first != static_cast<unsigned char>(RecordKind::Text) &&
        first != static_cast<unsigned char>(RecordKind::ClassicLine)) {
        platform::wipeKeepingRoom(content);
        return false;
    }
    kind = static_cast<RecordKind>(first);
    content.erase(0, 1);
    return true;
}
