#pragma once

#include <string>

// The questions a deletion asks before it starts, each with Yes and No and the warning icon:
// true when the member answered neither with No.
bool confirmed(const std::string& question);
bool confirmedTwice(const std::string& first, const std::string& second);

// The second question of clearing one page or all pages.
inline constexpr const char* kCannotBeRestored =
    "Deleted information cannot be restored later. Do you still want to proceed?";
