#pragma once

#include <string>
#include <string_view>

// The two ways a member file (password, captions, page) is written. Both keep the file hidden
// and throw platform::FileError on failure, leaving the file as it was. A link, a folder or
// anything else that is no ordinary file in the member file's place is refused untouched.

// Replaces the content of an existing member file as one step: the file is never seen
// half-written, nor without its hidden attribute. A missing file is an error, not created.
void rewriteMemberFile(const std::string& path, std::string_view content);

// Appends to a member file, clearing its hidden attribute for the write and setting it again
// afterwards. A missing file is an error, not created.
void appendToMemberFile(const std::string& path, std::string_view content);

// Clears away what a write cut short by a crash or a power cut leaves in a member folder: the
// temporary files of rewrites, and the hidden mark that an append takes off its file while it
// writes. The files themselves are whole. Only the holder of the member's lock may call it; what
// cannot be tidied (a folder that cannot be written) is left, harming nothing.
void clearAwayCutShortWrites(const std::string& memberFolder);
