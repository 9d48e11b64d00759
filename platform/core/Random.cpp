#include "platform/core/Random.h"

#include <chrono>
#include <random>

namespace platform {
namespace {

std::mt19937_64& generator() {
    static std::mt19937_64 gen{std::random_device{}()};
    return gen;
}

} // namespace

void randomize() {
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    generator().seed(static_cast<std::mt19937_64::result_type>(ticks));
}

double rnd() {
    return std::uniform_real_distribution<double>(0.0, 1.0)(generator());
}

} // namespace platform
