#pragma once

#include <stdexcept>
#include <string>

namespace platform {

// A file or folder operation that failed. path is the path the program asked for, in UTF-8;
// reason says why, in words the user can read.
class FileError : public std::runtime_error {
public:
    FileError(std::string path, std::string reason)
        : std::runtime_error(path + ": " + reason), m_path(std::move(path)), m_reason(std::move(reason)) {}
    const std::string& path() const { return m_path; }
    const std::string& reason() const { return m_reason; }

private:
    std::string m_path;
    std::string m_reason;
};

} // namespace platform
