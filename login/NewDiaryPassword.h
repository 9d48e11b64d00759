#pragma once

#include <optional>
#include <string>

#include "store/GuardedBuffer.h"

// The password of a protected diary, as a member chooses it: typed twice into masked boxes
// titled "Jotterel", the first with prompt, the second "Type the same password again:". A
// password of fewer than 8 characters, or a second that differs, is told with notChanged after
// the reason; Cancel in either box ends it silently. Nothing when no password was chosen.
std::optional<GuardedBuffer> askNewDiaryPassword(const std::string& prompt, const std::string& notChanged);
