#include "platform/core/Paths.h"

#include "platform/core/Cp1252.h"

namespace platform {

std::string joinPath(std::string_view folder, std::string_view name) {
    std::string out(folder);
    out += kPathSeparator;
    out += name;
    return out;
}

namespace {

// Windows takes "/" between names as well as its own separator.
#ifdef _WIN32
constexpr std::string_view kSeparators = "\\/";
#else
constexpr std::string_view kSeparators = "/";
#endif

} // namespace

std::string fileNameOf(std::string_view path) {
    const std::size_t pos = path.find_last_of(kSeparators);
    return std::string(pos == std::string_view::npos ? path : path.substr(pos + 1));
}

std::string folderOf(std::string_view path) {
    const std::size_t pos = path.find_last_of(kSeparators);
    if (pos == std::string_view::npos) {
        return ".";
    }
    if (pos == 0) {
        return std::string(1, kPathSeparator);
    }
    return std::string(path.substr(0, pos));
}

std::string osPath(std::string_view path) {
    return std::string(path); // the program's text is UTF-8, as file names are here
}

} // namespace platform
