// Any bytes as a password file: reading gives a key from 100 to 130 or reports a damaged file.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "store/Cipher.h"
#include "store/CipherError.h"
#include "store/MemberSession.h"
#include "store/PasswordFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const PasswordFile file = PasswordFile::parse(std::string_view(reinterpret_cast<const char*>(data), size));
        if (file.key < Cipher::kMinKey || file.key > Cipher::kMaxKey) {
            __builtin_trap();
        }
        Cipher::decryptWithKey(file.passwordLine, file.key);
    } catch (const CipherError&) {
    }
    return 0;
}
