#include "platform/core/CrashDumps.h"

#include "platform/core/Native.h"

namespace platform {

void turnOffCrashDumps() {
    native::turnOffCrashDumps();
}

} // namespace platform
