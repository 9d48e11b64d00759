// Any text read as a leading number: never fails, whatever the text holds, and a plain decimal
// (a sign, digits and a decimal point, nothing else) reads as the standard library reads it.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/core/NumberText.h"

namespace {

bool plainDecimal(std::string_view text) {
    std::size_t i = text.empty() || (text[0] != '+' && text[0] != '-') ? 0 : 1;
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9') {
            digits = true;
        } else if (text[i] == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digits;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double v = platform::val(text);
    // The masking command compares 2 * v - 1 with line numbers; that must be well defined.
    volatile double target = 2 * v - 1;
    (void)target;
    if (plainDecimal(text)) {
        const std::string copy(text);
        const double expected = std::strtod(copy.c_str(), nullptr);
        if (v != expected || std::signbit(v) != std::signbit(expected)) {
            __builtin_trap();
        }
    }
    return 0;
}
