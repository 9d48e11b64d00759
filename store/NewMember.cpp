#include "store/NewMember.h"

#include <algorithm>

#include "platform/core/Unicode.h"
#include "store/Module1.h"

std::string InitialPassword(std::string_view name) {
    return platform::FirstCharacters(name, 4);
}

int ChooseMemberKey(double r) {
    constexpr int keys = Module1::kMaxKey - Module1::kMinKey + 1;
    const int index = static_cast<int>(keys * std::clamp(r, 0.0, 1.0));
    return Module1::kMinKey + std::min(index, keys - 1);
}
