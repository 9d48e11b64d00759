#pragma once

#include "platform/core/FileError.h"

namespace platform {

// Runs one step on the disk whose failure is skipped without a message, where that is what the
// program does by design, so that the steps after it still run. Only a failed file operation is
// skipped; anything else is a fault and goes on to the caller.
template <typename F>
void attempt(F&& step) {
    try {
        step();
    } catch (const FileError&) {
    }
}

} // namespace platform
