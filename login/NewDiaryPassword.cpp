#include "login/NewDiaryPassword.h"

#include "platform/core/Dialogs.h"
#include "platform/core/Unicode.h"
#include "platform/core/Wipe.h"

namespace {

constexpr std::size_t kLeastCharacters = 8;

std::size_t characters(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++count) {
        platform::nextCodePoint(text, i);
    }
    return count;
}

} // namespace

std::optional<GuardedBuffer> askNewDiaryPassword(const std::string& prompt, const std::string& notChanged) {
    std::string first = platform::ui().maskedInputBox(prompt, platform::kAppTitle);
    if (first.empty()) {
        return std::nullopt;
    }
    GuardedBuffer chosen = GuardedBuffer::copyOf(first);
    platform::wipeKeepingRoom(first);
    if (characters(chosen.view()) < kLeastCharacters) {
        platform::ui().msgBox("The password must have at least 8 characters. " + notChanged, platform::vbExclamation,
                              platform::kAppTitle);
        return std::nullopt;
    }
    std::string second = platform::ui().maskedInputBox("Type the same password again:", platform::kAppTitle);
    if (second.empty()) {
        return std::nullopt;
    }
    // The two are compared as typed, letter case included: a slip of the Shift key is told now
    // rather than met at the next login.
    const bool same = sameSecret(second, chosen.view());
    platform::wipeKeepingRoom(second);
    if (!same) {
        platform::ui().msgBox("The two passwords are not the same. " + notChanged, platform::vbExclamation,
                              platform::kAppTitle);
        return std::nullopt;
    }
    return chosen;
}
