#include "platform/core/PortableNames.h"

#include <array>

#include "platform/core/Unicode.h"

namespace platform {

std::string charactersWindowsRefuses(std::string_view name) {
    std::string found;
    for (char c : name) {
        if (std::string_view("<>:\"|?*").find(c) != std::string_view::npos && found.find(c) == std::string::npos) {
            found += c;
        }
    }
    return found;
}

bool isDeviceName(std::string_view name) {
    std::string base = foldCase(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ') {
        base.pop_back();
    }
    static constexpr std::array<std::string_view, 4> kDevices = {"con", "prn", "aux", "nul"};
    for (std::string_view device : kDevices) {
        if (base == device) {
            return true;
        }
    }
    return base.size() == 4 && (base.starts_with("com") || base.starts_with("lpt")) && base[3] >= '1' && base[3] <= '9';
}

std::string quotedCharacters(std::string_view characters) {
    std::string text;
    for (std::size_t i = 0; i < characters.size(); ++i) {
        if (i > 0) {
            text += i + 1 == characters.size() ? " and " : ", ";
        }
        text += "\"" + std::string(1, characters[i]) + "\"";
    }
    return text;
}

} // namespace platform
