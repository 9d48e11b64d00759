#include "store/MemberName.h"

#include "platform/core/PortableNames.h"
#include "platform/core/Unicode.h"

namespace {

// The control characters: C0, DEL and C1 (whose codes Windows-1252 leaves partly undefined).
bool isControl(char32_t c) {
    return c < 32 || (c >= 127 && c <= 0x9F);
}

std::size_t folderNameUnits(std::string_view name) {
#ifdef _WIN32
    std::size_t units = 0; // UTF-16 units
    for (std::size_t i = 0; i < name.size();) {
        units += platform::nextCodePoint(name, i) > 0xFFFF ? 2 : 1;
    }
    return units;
#else
    return name.size(); // bytes of UTF-8
#endif
}

} // namespace

std::optional<std::string> memberNameProblem(std::string_view name) {
    if (name.empty()) {
        return "it is empty.";
    }
    if (name == "." || name == "..") {
        return "\".\" and \"..\" stand for the application folder and the folder above it.";
    }
    if (name.find_first_of("/\\") != std::string_view::npos) {
        return "it holds \"/\" or \"\\\", which separate folder names.";
    }
    for (std::size_t i = 0; i < name.size();) {
        if (isControl(platform::nextCodePoint(name, i))) {
            return "it holds a control character (such as a tab).";
        }
    }
    // A member folder must be one that can be copied to Windows as it is.
    if (const std::string refused = platform::charactersWindowsRefuses(name); !refused.empty()) {
        return "it holds " + platform::quotedCharacters(refused) + ", which Windows does not allow in a folder name.";
    }
    if (name.back() == ' ' || name.back() == '.') {
        return std::string("it ends with ") + (name.back() == ' ' ? "a space" : "a dot") +
               ", which Windows drops from a folder name.";
    }
    if (platform::isDeviceName(name)) {
        return "Windows keeps that name for a device.";
    }
    if (name.front() == '.') {
        return "a folder whose name starts with \".\" is hidden, so the member could never be listed.";
    }
    if (const std::size_t units = folderNameUnits(name); units > kMaxMemberNameBytes) {
        return "it is too long for a folder name: it takes " + std::to_string(units) +
               " bytes, and this system allows " + std::to_string(kMaxMemberNameBytes) + ".";
    }
    return std::nullopt;
}
