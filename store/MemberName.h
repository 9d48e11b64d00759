#pragma once

#include <optional>
#include <string>
#include <string_view>

// A member name becomes the member folder's name inside the application folder. This says why
// a name cannot be one (it would reach outside the application folder, could not be created,
// or could never be listed), as the end of a sentence such as "it holds a control character.";
// nothing when the name is fine.
std::optional<std::string> memberNameProblem(std::string_view name);

// The longest member name a folder can take on this system, in bytes of the name as the file
// system stores it.
inline constexpr std::size_t kMaxMemberNameBytes = 255;
