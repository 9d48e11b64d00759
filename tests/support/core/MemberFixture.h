#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Member folders made directly on disk, in the program's formats, so that a test can start
// from any state without going through the windows.
namespace fixture {

// The member folder with its password file and fifteen page files and captions file, all
// empty and hidden, as adding a member leaves it. Returns the folder's path.
std::string makeMember(const std::string& appPath, const std::string& name, int key, const std::string& password);

// The lines of a page file: each plain text enciphered under key, an empty text left empty.
std::string pageContent(int key, const std::vector<std::string>& plainLines);

// Writes page 1 to 15 of a member (hidden), replacing it.
void writePage(const std::string& appPath, const std::string& member, int page, int key,
               const std::vector<std::string>& plainLines);

// Sets the modification time of every file in folder an hour back, as the files are that a
// member wrote in an earlier session.
void writtenAnHourAgo(const std::string& folder);

// Path of a member's file.
std::string memberFile(const std::string& appPath, const std::string& member, const std::string& fileName);
std::string pageFile(const std::string& appPath, const std::string& member, int page);

// Writes bytes to a file as they are (an ordinary, visible file).
void writeBytes(const std::string& path, const std::string& bytes);
std::string readBytes(const std::string& path);

// The lines of a file, without their line ends, split as the program splits them.
std::vector<std::string> readLines(const std::string& path);

// True when the file carries the hidden attribute as the program stores it.
bool isHidden(const std::string& path);

// While it lives, the disk fills up after bytes more bytes have been written.
class DiskFullAfter {
public:
    explicit DiskFullAfter(std::uint64_t bytes);
    ~DiskFullAfter();
    DiskFullAfter(const DiskFullAfter&) = delete;
    DiskFullAfter& operator=(const DiskFullAfter&) = delete;
};

} // namespace fixture
