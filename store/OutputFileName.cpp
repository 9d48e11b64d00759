#include "store/OutputFileName.h"

#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "platform/core/PortableNames.h"
#include "platform/core/Unicode.h"
#include "store/MemberSession.h"

namespace {

// Long enough for any sensible name, short enough that the file and the temporary file it is
// written through fit the file system's limit of 255 bytes.
constexpr std::size_t kLongestName = 240;

bool refusedCharacter(char32_t c) {
    return c < 32 || (c >= 127 && c <= 0x9F) ||
           std::u32string_view(U"\\/:*?\"<>|").find(c) != std::u32string_view::npos;
}

bool memberFileName(const std::string& name) {
    const std::string folded = platform::foldCase(name);
    for (const std::string& file : MemberFolder::memberFileNames()) {
        if (folded == platform::foldCase(file)) {
            return true;
        }
    }
    return false;
}

} // namespace

std::string unusableOutputName(const std::string& folder, const std::string& name) {
    for (std::size_t i = 0; i < name.size();) {
        if (refusedCharacter(platform::nextCodePoint(name, i))) {
            return "A file name cannot contain any of the characters \\ / : * ? \" < > | or a control character.";
        }
    }
    if (name == "." || name == "..") {
        return "That name stands for a folder, not a file.";
    }
    if (name.front() == '.') {
        return "A name that starts with a dot would make a hidden file.";
    }
    if (name.back() == ' ' || name.back() == '.') {
        return "A file name cannot end with a space or a dot.";
    }
    if (platform::isDeviceName(name)) {
        return "That name is reserved for a device on Windows.";
    }
    if (name.size() > kLongestName) {
        return "The name is too long.";
    }
    if (memberFileName(name)) {
        return "That is the name of one of your diary's own files, which an export never replaces.";
    }
    const std::string path = platform::joinPath(folder, name);
    switch (platform::kindOfPath(path)) {
    case platform::PathKind::Folder:
        return "Your diary folder holds a folder of that name.";
    case platform::PathKind::Link:
        return "Your diary folder holds a link of that name to another place, which an export never follows or "
               "replaces.";
    case platform::PathKind::Other:
        return "Your diary folder holds something of that name that is not an ordinary file, which an export never "
               "replaces.";
    case platform::PathKind::Missing:
    case platform::PathKind::File:
        break;
    }
    if (platform::pathExists(path) && !platform::fileExists(path)) {
        return "Your diary folder holds a hidden file of that name, which an export never replaces.";
    }
    return {};
}
