// Any text read as a leading number: never fails, whatever the text holds.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/core/NumberText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const double v = platform::Val(std::string_view(reinterpret_cast<const char*>(data), size));
    // The masking command compares 2 * v - 1 with line numbers; that must be well defined.
    volatile double target = 2 * v - 1;
    (void)target;
    return 0;
}
