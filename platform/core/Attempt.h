#pragma once

#include <exception>

namespace platform {

// Runs one step of a handler whose failing steps are skipped without a message, so that the
// steps after it still run.
template <typename F>
void attempt(F&& step) {
    try {
        step();
    } catch (const std::exception&) {
    }
}

} // namespace platform
