#pragma once

#include <cstdint>
#include <functional>

namespace platform {

// A number drawn uniformly from 0 to bound - 1 (bound at least 1), from the system's random
// source.
std::uint32_t randomBelow(std::uint32_t bound);

// Tests draw from a source of their own, given the bound; nullptr gives back the system's.
using RandomSource = std::function<std::uint32_t(std::uint32_t bound)>;
void setRandomSource(RandomSource source);

} // namespace platform
