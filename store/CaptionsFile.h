#pragma once

#include <array>
#include <string>
#include <string_view>

#include "store/StoredLines.h"

// The member's captions file: one line for each of the fifteen pages, under the member key, or
// one sealed record for each in a protected diary.
class CaptionsFile {
public:
    static constexpr const char* kNoCaption = "No caption set";

    // The fifteen captions of the bytes of a captions file under key, in slots 1 to 15 (slot 0
    // unused): "No caption set" for a missing line or one that cannot be deciphered.
    static std::array<std::string, 16> parse(std::string_view data, int key);

    // The file's content for the captions in slots 1 to 15, each line ended by CR LF; an empty
    // caption is written, and set, as "No caption set".
    static std::string content(std::array<std::string, 16>& captions, int key);

    // The same for the captions file of a protected diary: a record that does not open gives
    // "No caption set". Throws ProtectedFileError for a file whose header is refused.
    static std::array<std::string, 16> parseProtected(std::string_view data, const ProtectedFileContext& context);
    static std::string protectedContent(std::array<std::string, 16>& captions, const ProtectedFileContext& context);
};
