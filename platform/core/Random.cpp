#include "platform/core/Random.h"

#include <sodium.h>
#include <stdexcept>
#include <utility>

namespace platform {
namespace {

RandomSource& testSource() {
    static RandomSource source;
    return source;
}

} // namespace

std::uint32_t randomBelow(std::uint32_t bound) {
    if (const RandomSource& source = testSource()) {
        return source(bound);
    }
    // Safe to call again and again; it fails only where the system has no random source.
    if (sodium_init() < 0) {
        throw std::runtime_error("The system offers no random numbers.");
    }
    return randombytes_uniform(bound);
}

void setRandomSource(RandomSource source) {
    testSource() = std::move(source);
}

} // namespace platform
