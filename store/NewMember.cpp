#include "store/NewMember.h"

#include <algorithm>

#include "platform/core/Unicode.h"
#include "store/Cipher.h"
#include "store/MemberSession.h"

std::string initialPassword(std::string_view name) {
    return platform::firstCharacters(name, 4);
}

int chooseMemberKey(double r) {
    constexpr int keys = Cipher::kMaxKey - Cipher::kMinKey + 1;
    const int index = static_cast<int>(keys * std::clamp(r, 0.0, 1.0));
    return Cipher::kMinKey + std::min(index, keys - 1);
}
