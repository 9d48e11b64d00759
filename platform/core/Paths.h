#pragma once

#include <string>
#include <string_view>

namespace platform {

// The separator between folder and file names on this system.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// folder, separator, name: paths are built by plain concatenation.
std::string joinPath(std::string_view folder, std::string_view name);

// The last name of a path.
std::string fileNameOf(std::string_view path);

// The folder part of a path (without the trailing separator); "." when there is none.
std::string folderOf(std::string_view path);

// The path in the form the operating system takes (UTF-8 here).
std::string osPath(std::string_view path);

// The reason text of an error number of this system (errno, or a Windows error code), as
// the system words it. Each system's side of the file routines defines it (Native.h).
std::string errorText(int err);

} // namespace platform
