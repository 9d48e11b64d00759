#pragma once

// libsodium must be started before any of its calls; this does so once for the whole run and
// throws std::runtime_error when it cannot start (no random source).
void startSodium();
