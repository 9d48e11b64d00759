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
