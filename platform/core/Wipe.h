#pragma once

#include <cstddef>
#include <string>

namespace platform {

// A member's secrets (deciphered pages, captions, the search text, the password typed) are
// overwritten before their memory is given back, so that no later reader of the process's
// memory (a crash dump, the next member's session) finds them in memory that was only freed.

// Overwrites size bytes at data.
void wipeBytes(void* data, std::size_t size);
// Overwrites all the memory the string holds (its whole capacity) and empties it, keeping the
// memory for the next secret it takes.
void wipeKeepingRoom(std::string& secret);
// Overwrites all the memory the string holds, then empties it and gives the memory back.
void wipe(std::string& secret);

} // namespace platform
