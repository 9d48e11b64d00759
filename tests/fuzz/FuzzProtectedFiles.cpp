// Any bytes as a protected member's page, captions or password file. The first byte says which
// file it is and in which state of conversion the diary is read, the rest is the file. Reading
// never crashes; what reads back sealed again reads the same; the record text decoder takes
// what libsodium's takes, and no more.
#include <cstddef>
#include <cstdint>
#include <sodium.h>
#include <string>
#include <string_view>

#include "store/Base64Text.h"
#include "store/DiaryKeys.h"
#include "store/ProtectedFileError.h"
#include "store/ProtectedPasswordFile.h"
#include "store/StoredLines.h"

namespace {

// The keys the seeds were sealed under (data key bytes 1 to 32, diary id bytes 0 to 15), so
// that mutations of a seed reach records that open.
const DiaryKeys& fuzzKeys() {
    static const DiaryKeys keys = [] {
        DiaryKeys k;
        std::string dataKey;
        for (int i = 1; i <= 32; ++i) {
            dataKey += static_cast<char>(i);
        }
        k.dataKey = GuardedBuffer::copyOf(dataKey);
        for (std::size_t i = 0; i < k.diaryId.size(); ++i) {
            k.diaryId[i] = static_cast<unsigned char>(i);
        }
        k.classicKey = 113;
        return k;
    }();
    return keys;
}

void checkBase64(std::string_view text) {
    std::string ours;
    std::string theirs(text.size(), '\0');
    std::size_t size = 0;
    const char* end = nullptr;
    const bool takes = sodium_base642bin(reinterpret_cast<unsigned char*>(theirs.data()), theirs.size(), text.data(),
                                         text.size(), nullptr, &size, &end, sodium_base64_VARIANT_ORIGINAL) == 0 &&
                       end == text.data() + text.size();
    theirs.resize(size);
    // libsodium's decoder lets some bytes above 127 through as if they were letters; ours takes
    // the alphabet alone, so a record in the files has only one text.
    bool ascii = true;
    for (char c : text) {
        ascii = ascii && static_cast<unsigned char>(c) < 128;
    }
    const bool ourTake = bytesOfBase64(text, ours);
    if ((ourTake && (!takes || ours != theirs)) || (ascii && ourTake != takes)) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || sodium_init() < 0) {
        return 0;
    }
    const std::string_view file(reinterpret_cast<const char*>(data) + 1, size - 1);
    const unsigned which = data[0] % 3;
    const auto state = static_cast<ConversionState>(data[0] / 3 % 3);
    checkBase64(file.substr(0, file.find_first_of("\r\n")));
    try {
        if (which == 2) {
            const ProtectedPasswordFile parsed = ProtectedPasswordFile::parse(file);
            // Only a derivation cheap enough for a fuzzer is run.
            if (parsed.kdf().memory() <= 64 * 1024 && parsed.kdf().passes() <= 2) {
                if (const auto keys = parsed.open("password")) {
                    if (keys->classicKey < 100 || keys->classicKey > 130 || keys->password.empty()) {
                        __builtin_trap();
                    }
                }
            }
            return 0;
        }
        const ProtectedFileContext context{fuzzKeys(), state,
                                           which == 0 ? ProtectedFileKind::Page : ProtectedFileKind::Captions,
                                           which == 0 ? "FGZISKL4" : "UBF8USBS"};
        const std::vector<StoredLine> lines = protectedMemberLines(file, context);
        const ProtectedFileContext resealed{fuzzKeys(), ConversionState::Protected, context.kind, context.fileName};
        if (protectedMemberLines(protectedContent(lines, resealed), resealed) != lines) {
            __builtin_trap();
        }
    } catch (const ProtectedFileError&) {
    }
    return 0;
}
