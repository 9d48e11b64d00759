#include "platform/core/Wipe.h"

#include <sodium.h>

namespace platform {

void wipeBytes(void* data, std::size_t size) {
    sodium_memzero(data, size);
}

void wipeKeepingRoom(std::string& secret) {
    // Up to the capacity: what an earlier, longer text left beyond the end is a secret too.
    secret.resize(secret.capacity());
    wipeBytes(secret.data(), secret.size());
    secret.clear();
}

void wipe(std::string& secret) {
    wipeKeepingRoom(secret);
    secret.shrink_to_fit();
}

} // namespace platform
