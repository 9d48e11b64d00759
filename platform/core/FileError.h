#pragma once

#include <cstdint>
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

// A file refused for its size, before any of it is read.
class FileTooLarge : public FileError {
public:
    FileTooLarge(std::string path, std::uint64_t size, std::uint64_t limit);
    std::uint64_t size() const { return m_size; }

private:
    std::uint64_t m_size;
};

// A size as the member reads it: "500 bytes", "12 KB", "300 MB", "1.5 GB", "200 GB".
std::string sizeText(std::uint64_t bytes);

} // namespace platform
