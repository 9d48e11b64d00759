#include "store/NewMember.h"

#include <algorithm>
#include <vector>

#include "store/Module1.h"

std::string InitialPassword(std::string_view name) {
    return std::string(name.substr(0, 4));
}

int ChooseMemberKey(std::string_view password, double r) {
    std::vector<int> keys;
    for (int key = Module1::kMinKey; key <= Module1::kMaxKey; ++key) {
        if (Module1::FitsKey(password, key)) {
            keys.push_back(key);
        }
    }
    if (keys.empty()) {
        for (int key = Module1::kMinKey; key <= Module1::kMaxKey; ++key) {
            keys.push_back(key);
        }
    }
    // The integer part of count times r: with every key fitting this is the integer part of
    // 31 r + 100, the classic draw.
    const auto index = static_cast<std::size_t>(static_cast<double>(keys.size()) * std::clamp(r, 0.0, 1.0));
    return keys[std::min(index, keys.size() - 1)];
}

std::string PasswordAsStored(std::string_view password, int key) {
    return Module1::DecryptWithKey(Module1::EncryptWithKey(password, key), key);
}
