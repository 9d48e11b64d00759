// Any bytes as a captions file: loading never fails and leaves a caption on every page.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "store/CaptionsFile.h"
#include "store/Cipher.h"
#include "store/MemberSession.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const int key = Cipher::kMinKey + data[0] % (Cipher::kMaxKey - Cipher::kMinKey + 1);
    const auto captions = CaptionsFile::parse(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1), key);
    for (int i = 1; i <= MemberFolder::kPageCount; ++i) {
        if (captions[static_cast<std::size_t>(i)].empty()) {
            __builtin_trap();
        }
    }
    return 0;
}
