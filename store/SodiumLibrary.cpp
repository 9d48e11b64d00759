#include "store/SodiumLibrary.h"

#include <sodium.h>
#include <stdexcept>

void startSodium() {
    // sodium_init is safe to call again and from any thread; it answers 1 once started.
    static const int started = sodium_init();
    if (started < 0) {
        throw std::runtime_error("The cipher library cannot start: the system offers no random source.");
    }
}
