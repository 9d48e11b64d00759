// Any bytes as a page file: showing it either gives the numbered text or reports that a line
// cannot be deciphered, and never reads or writes out of bounds.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "store/CipherError.h"
#include "store/Module1.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    Module1 m("/nowhere");
    m.CipherKey = Module1::kMinKey + data[0] % (Module1::kMaxKey - Module1::kMinKey + 1);
    const std::string_view page(reinterpret_cast<const char*>(data + 1), size - 1);
    try {
        const std::string display = m.DisplayText(page);
        // Every line of the page gives one line of the display.
        if (!page.empty() && (display.size() < 2 || display.substr(display.size() - 2) != "\r\n")) {
            __builtin_trap();
        }
    } catch (const CipherError&) {
    }
    return 0;
}
