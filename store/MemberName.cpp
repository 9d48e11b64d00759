#include "store/MemberName.h"

#include "platform/core/Cp1252.h"

namespace {

// The control characters of the code page: C0, DEL, and the five bytes the code page leaves
// undefined, which stand for C1 controls.
bool isControl(unsigned char c) {
    return c < 32 || c == 127 || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

std::size_t folderNameBytes(std::string_view name) {
#ifdef _WIN32
    return name.size(); // one UTF-16 unit per character of the code page
#else
    return platform::Cp1252ToUtf8(name).size();
#endif
}

} // namespace

std::optional<std::string> MemberNameProblem(std::string_view name) {
    if (name.empty()) {
        return "it is empty.";
    }
    if (name == "." || name == "..") {
        return "\".\" and \"..\" stand for the application folder and the folder above it.";
    }
    if (name.find_first_of("/\\") != std::string_view::npos) {
        return "it holds \"/\" or \"\\\", which separate folder names.";
    }
    for (char c : name) {
        if (isControl(static_cast<unsigned char>(c))) {
            return "it holds a control character (such as a tab).";
        }
    }
#ifndef _WIN32
    if (name.front() == '.') {
        return "on this system a folder whose name starts with \".\" is hidden, so the member could never be listed.";
    }
#endif
    if (const std::size_t bytes = folderNameBytes(name); bytes > kMaxMemberNameBytes) {
        return "it is too long for a folder name: it takes " + std::to_string(bytes) +
               " bytes, and this system allows " + std::to_string(kMaxMemberNameBytes) + ".";
    }
    return std::nullopt;
}
