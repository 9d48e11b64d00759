#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Files and folders as the program uses them. Every path is UTF-8 text, as all the program's
// text (Windows gets it as UTF-16); every failure throws FileError naming the path and the reason.
//
// A member folder is the member's alone, and whoever else can write to it must not be able to
// turn the program against other files: every file is opened without following a link and
// only when it is an ordinary file (a named pipe or a device is refused at once, never waited
// on), and a file or folder the program creates can be read by its owner only.
namespace platform {

// What is at a path, looked at without following a link.
enum class PathKind { Missing, File, Folder, Link, Other };
PathKind kindOfPath(const std::string& path);

// Throws FileError unless an ordinary file is at path; a link, a folder or anything else is
// refused with a reason that says which.
void checkOrdinaryFile(const std::string& path);

// Why what is of this kind cannot be used as a file, in words for the member (the reason of
// the FileError the file routines throw for it).
std::string refusalReason(PathKind kind);

// The whole content of a file.
std::string readFileBytes(const std::string& path);

// The same into data, whose storage is reused: a caller that reads many files in a row, such
// as a search of every page, does not allocate and clear a new buffer for each. After a failure
// data holds nothing of use.
void readFileBytes(const std::string& path, std::string& data);

// The same for a file that may hold at most limit bytes: a larger one is refused by its size,
// before anything is read or any memory is taken for it (FileTooLarge), and so is one that
// grows past the limit while it is read.
void readFileBytes(const std::string& path, std::string& data, std::uint64_t limit);

// What tells one state of a file from another without reading it: which file it is (its volume
// and its number there), its size, and when its content and when anything of it last changed, to
// the full resolution the system keeps. Any write, rename over it or replacement gives another
// identity, as long as the system's clock has moved on since the identity was taken: file
// systems stamp times in steps, of up to two seconds.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
    std::uint64_t size = 0;
    std::int64_t modified = 0; // nanoseconds since 1 January 1970, UTC
    std::int64_t changed = 0;  // the same, where the system keeps it; otherwise in its own units
    bool operator==(const FileIdentity&) const = default;
};

// The identity of the ordinary file at path, looked at without following a link and without
// opening it for reading; nothing when no ordinary file is there.
std::optional<FileIdentity> fileIdentity(const std::string& path);

// readFileBytes with a limit, giving also the identity of the file read, taken from the open
// file before its first byte is read: a change while it is read gives the file another identity
// than the one returned.
void readFileBytes(const std::string& path, std::string& data, std::uint64_t limit, FileIdentity& identity);

// Calls f(line) for each line of data, split as ReadLines splits a file.
template <typename F>
void forEachLine(std::string_view data, F&& f) {
    std::size_t start = 0;
    const std::size_t n = data.size();
    const char* p = data.data();
    while (start < n) {
        std::size_t end = start;
        while (end < n && p[end] != '\r' && p[end] != '\n') {
            ++end;
        }
        f(data.substr(start, end - start));
        if (end < n && p[end] == '\r' && end + 1 < n && p[end + 1] == '\n') {
            end += 2;
        } else {
            end += 1;
        }
        start = end;
    }
}

// Replaces a file's content whole, or creates it. The new content goes to a temporary file in
// the same folder, reaches the disk, takes the given attributes and only then is renamed over
// the old file: on any failure the old file stays byte for byte as it was. The file keeps the
// permissions it had; a new one is readable by its owner only. A link or anything else that is
// no ordinary file at path is refused, not replaced.
void writeFileSafely(const std::string& path, std::string_view content, unsigned attributes);

// Deletes the temporary files a WriteFileSafely of path leaves behind only when the program was
// stopped in the middle of the write. Nothing else is touched. Returns how many were deleted.
std::size_t deleteSafeWriteLeftovers(const std::string& path);

// The same for every file of folder: the scraps of any rewrite cut short there, whatever file it
// was replacing (an export's too).
std::size_t deleteAllSafeWriteLeftovers(const std::string& folder);

// Appends to a file (creating it, for its owner only, when missing) and returns the length it
// had before. On a failure part-way the file is cut back to that length before the error is
// thrown.
std::uint64_t appendToFile(const std::string& path, std::string_view content);

// Cuts a file back to length bytes (what an append added is taken away again).
void truncateFile(const std::string& path, std::uint64_t length);

// Creates an empty file, for its owner only, or empties an existing one in place; either way
// the file and its place in the folder are on the disk when this returns.
void createEmptyFile(const std::string& path);

// True when an ordinary file is at path: not hidden, not system, not a folder, not a link.
bool fileExists(const std::string& path);

// True when anything (file, folder or link, hidden or not) is at path.
bool pathExists(const std::string& path);

void deleteFile(const std::string& path);

// Creates a member folder, for its owner only, and makes it reach the disk; fails when
// anything of that name exists already.
void makeFolder(const std::string& path);

// Removes a folder; fails unless it is empty.
void removeFolder(const std::string& path);

struct FolderEntry {
    std::string name;
    bool isFolder = false;
};

// The entries of a folder whose names match pattern: ordinary files, and subfolders too when
// includeFolders is set. A link is listed as a file whatever it points to, never as a folder:
// it is something the member may want gone, and deleting it touches nothing but the link.
// Hidden and system entries, "." and "..", named pipes and devices, and names this code page
// cannot hold are never returned. The order is by name, letter case ignored, as the desktop's
// own file system lists them.
std::vector<FolderEntry> listFolder(const std::string& folder, const std::string& pattern, bool includeFolders);

// Wildcard match of a name: "*" any run, "?" one character, letter case ignored; "*.*" matches
// every name, with or without a dot.
bool matchesPattern(std::string_view name, std::string_view pattern);

// For fault injection in tests: after this many more bytes have been written by any file
// routine above, every write fails as on a full disk. std::nullopt lifts the limit. WriteBudget
// tells how much of it is left.
void setWriteBudget(std::optional<std::uint64_t> bytes);
std::optional<std::uint64_t> writeBudget();

// For fault injection in tests: the next this many changes to the disk made by the routines
// here and in FileAttributes (creating, syncing, closing a written file, setting an attribute,
// renaming, truncating, deleting, making or removing a folder) succeed, and the one after them
// fails once with an input/output error. StepsBeforeFault tells how many are left; nothing once
// the fault has happened, or when none is set.
void setFaultAfterSteps(std::optional<std::uint64_t> steps);
std::optional<std::uint64_t> stepsBeforeFault();

// For tests: called with the name of each step above, and of each write, before it is taken,
// with the path it acts on ("create", "open", "write", "truncate", "sync file",
// "set attribute", "close", "rename", "sync folder", "delete", "mkdir", "remove folder"). An
// empty function stops the recording.
using DiskStepRecorder = std::function<void(std::string_view step, const std::string& path)>;
void setDiskStepRecorder(DiskStepRecorder recorder);

namespace detail {
// Records the step and is true, with the system's last error set to an input/output error, when
// the fault set by SetFaultAfterSteps falls on it.
bool stepFails(std::string_view step, const std::string& path);
} // namespace detail

} // namespace platform
