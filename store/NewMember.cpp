#include "store/NewMember.h"

#include "platform/core/Random.h"
#include "platform/core/Unicode.h"
#include "store/Cipher.h"
#include "store/MemberSession.h"

std::string initialPassword(std::string_view name) {
    return platform::firstCharacters(name, 4);
}

int chooseMemberKey() {
    constexpr std::uint32_t keys = Cipher::kMaxKey - Cipher::kMinKey + 1;
    return Cipher::kMinKey + static_cast<int>(platform::randomBelow(keys));
}
