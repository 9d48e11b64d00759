#pragma once

namespace platform {

// A crash must not leave the deciphered pages, captions, search text, password or key of a
// member on the disk, where the next reader of the working folder would find them: the program
// turns crash dumps of itself off before anything is read.
void turnOffCrashDumps();

} // namespace platform
