#include "platform/core/FileSystem.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "platform/core/FileAttributes.h"
#include "platform/core/FileError.h"
#include "platform/core/Paths.h"
#include "platform/core/Unicode.h"

namespace platform {
namespace {

std::optional<std::uint64_t>& budgetLeft() {
    static std::optional<std::uint64_t> budget;
    return budget;
}

std::optional<std::uint64_t>& faultCountdown() {
    static std::optional<std::uint64_t> steps;
    return steps;
}

DiskStepRecorder& diskStepRecorder() {
    static DiskStepRecorder recorder;
    return recorder;
}

void record(std::string_view step, const std::string& path) {
    if (diskStepRecorder()) {
        diskStepRecorder()(step, path);
    }
}

[[noreturn]] void fail(const std::string& path, int err) {
    throw FileError(path, errorText(err));
}

PathKind kindOf(const std::string& osPath) {
    struct stat st {};
    if (::lstat(osPath.c_str(), &st) != 0) {
        return PathKind::Missing;
    }
    if (S_ISLNK(st.st_mode)) {
        return PathKind::Link;
    }
    if (S_ISDIR(st.st_mode)) {
        return PathKind::Folder;
    }
    return S_ISREG(st.st_mode) ? PathKind::File : PathKind::Other;
}

// A failed open, explained: what is at the path says more than the error number of an open
// that refuses links and will not wait.
[[noreturn]] void failOpen(const std::string& path, const std::string& osPath, int err) {
    const PathKind kind = kindOf(osPath);
    if (kind == PathKind::Link || kind == PathKind::Folder || kind == PathKind::Other) {
        throw FileError(path, refusalReason(kind));
    }
    fail(path, err);
}

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    // Closes now and reports the error a delayed write may bring.
    int close(const std::string& osPath) {
        const bool fault = detail::stepFails("close", osPath);
        const int rc = ::close(m_fd);
        m_fd = -1;
        if (fault) {
            errno = EIO;
            return -1;
        }
        return rc;
    }

private:
    int m_fd;
};

// Opens a file for the program's reading or writing: never through a link, and only an
// ordinary file. The open does not wait, so a named pipe is refused at once instead of hanging
// the program until somebody opens its other end. With create, a missing file is made, for its
// owner only whatever the umask says; created tells whether it was.
int openOrdinary(const std::string& path, const std::string& osPath, int access, bool create = false,
                 bool* created = nullptr) {
    constexpr int kSafe = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int fd = -1;
    if (create) {
        fd = ::open(osPath.c_str(), access | O_CREAT | O_EXCL | kSafe, 0600);
        if (fd >= 0) {
            ::fchmod(fd, 0600);
            if (created) {
                *created = true;
            }
        } else if (errno != EEXIST) {
            failOpen(path, osPath, errno);
        }
    }
    if (fd < 0) {
        fd = ::open(osPath.c_str(), access | kSafe);
        if (fd < 0) {
            failOpen(path, osPath, errno);
        }
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = errno;
        const bool folder = S_ISDIR(st.st_mode);
        ::close(fd);
        if (st.st_mode != 0) {
            throw FileError(path, refusalReason(folder ? PathKind::Folder : PathKind::Other));
        }
        fail(path, err);
    }
    // An ordinary file is read and written as usual from here on.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

// Writes everything or returns the errno of the failure.
int writeAll(int fd, std::string_view data, const std::string& osPath) {
    record("write", osPath);
    while (!data.empty()) {
        std::size_t chunk = data.size();
        if (budgetLeft()) {
            if (*budgetLeft() == 0) {
                return ENOSPC;
            }
            chunk = static_cast<std::size_t>(std::min<std::uint64_t>(chunk, *budgetLeft()));
        }
        const ssize_t n = ::write(fd, data.data(), chunk);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (budgetLeft()) {
            *budgetLeft() -= static_cast<std::uint64_t>(n);
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

// Makes a new name in folder durable. Returns 0 or the errno of the failure.
int syncFolder(const std::string& osFolder) {
    const int fd = ::open(osFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    int err = 0;
    if (detail::stepFails("sync folder", osFolder) || ::fsync(fd) != 0) {
        err = errno;
    }
    ::close(fd);
    return err;
}

// Cuts an appended file back to its old length through its path, once its descriptor is gone.
void cutBack(const std::string& osPath, off_t length) {
    try {
        Descriptor fd(openOrdinary(osPath, osPath, O_WRONLY));
        if (!detail::stepFails("truncate", osPath) && ::ftruncate(fd.get(), length) == 0) {
            ::fsync(fd.get());
        }
    } catch (const FileError&) {
        // gone, or no longer the file that was appended to: nothing to cut back
    }
}

// A safe rewrite of "NAME" writes ".NAME.new-" and six random characters first.
constexpr char kTemporarySuffix[] = "XXXXXX";
constexpr std::size_t kTemporarySuffixLength = sizeof kTemporarySuffix - 1;

std::string temporaryPrefix(const std::string& osPath) {
    return "." + fileNameOf(osPath) + ".new-";
}

bool isHiddenOrSystem(const std::string& path) {
    try {
        return (getAttr(path) & (kAttrHidden | kAttrSystem)) != 0;
    } catch (const FileError&) {
        return true; // gone or unreadable: not something to offer
    }
}

} // namespace

std::string readFileBytes(const std::string& path) {
    std::string data;
    readFileBytes(path, data);
    return data;
}

void readFileBytes(const std::string& path, std::string& data) {
    Descriptor fd(openOrdinary(path, osPath(path), O_RDONLY));
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        fail(path, errno);
    }
    data.resize(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    for (;;) {
        if (got == data.size()) {
            // The file may have grown since fstat; read on until the end.
            data.resize(data.size() + 65536);
        }
        const ssize_t n = ::read(fd.get(), data.data() + got, data.size() - got);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail(path, errno);
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    data.resize(got);
}

PathKind kindOfPath(const std::string& path) {
    return kindOf(osPath(path));
}

std::string refusalReason(PathKind kind) {
    switch (kind) {
    case PathKind::Link:
        return "It is a link to another place, which Jotterel never follows.";
    case PathKind::Folder:
        return errorText(EISDIR);
    case PathKind::Missing:
        return errorText(ENOENT);
    case PathKind::File:
    case PathKind::Other:
        break;
    }
    return "It is not an ordinary file.";
}

void checkOrdinaryFile(const std::string& path) {
    const PathKind kind = kindOfPath(path);
    if (kind == PathKind::Missing) {
        fail(path, errno); // as the look at the path left it: missing, or out of reach
    }
    if (kind != PathKind::File) {
        throw FileError(path, refusalReason(kind));
    }
}

void writeFileSafely(const std::string& path, std::string_view content, unsigned attributes) {
    const std::string os = osPath(path);
    // Keep the permissions the file had; a new file is its owner's alone. What is at the path is
    // looked at, not followed: the rename would put the file in place of a link, which the
    // member never asked for.
    struct stat old {};
    mode_t mode = 0600;
    if (::lstat(os.c_str(), &old) == 0) {
        if (!S_ISREG(old.st_mode)) {
            throw FileError(path, refusalReason(kindOf(os)));
        }
        mode = old.st_mode & 07777;
    }
    std::string temp = folderOf(os) + "/" + temporaryPrefix(os) + kTemporarySuffix;
    if (detail::stepFails("create", temp)) {
        fail(path, errno);
    }
    Descriptor fd(::mkstemp(temp.data()));
    if (fd.get() < 0) {
        fail(path, errno);
    }
    auto discard = [&](int err) {
        if (!detail::stepFails("delete", temp)) {
            ::unlink(temp.c_str());
        }
        fail(path, err);
    };
    // The new file takes the mode of the one it replaces. A file system that keeps no
    // permissions (some network folders) refuses; the file then has the mode it gives.
    ::fchmod(fd.get(), mode);
    if (const int err = writeAll(fd.get(), content, temp); err != 0) {
        discard(err);
    }
    if (detail::stepFails("sync file", temp) || ::fsync(fd.get()) != 0) {
        discard(errno);
    }
    try {
        detail::setAttrOnDescriptor(fd.get(), attributes, path, temp);
    } catch (const FileError&) {
        if (!detail::stepFails("delete", temp)) {
            ::unlink(temp.c_str());
        }
        throw;
    }
    if (fd.close(temp) != 0) {
        discard(errno);
    }
    if (detail::stepFails("rename", os) || ::rename(temp.c_str(), os.c_str()) != 0) {
        discard(errno);
    }
    // The file already holds its new content, so a failure here changes nothing the program
    // could report.
    syncFolder(folderOf(os));
}

namespace {

// Deletes the ordinary files of folder (a path the system takes) whose names the predicate
// picks; folderForErrors names it in a failure.
template <typename Picks>
std::size_t deleteLeftovers(const std::string& folder, const std::string& folderForErrors, Picks picks) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) {
        fail(folderForErrors, errno);
    }
    std::vector<std::string> leftovers;
    while (const dirent* d = ::readdir(dir.get())) {
        if (picks(std::string_view(d->d_name))) {
            leftovers.emplace_back(d->d_name);
        }
    }
    std::size_t deleted = 0;
    for (const std::string& name : leftovers) {
        const std::string full = folder + "/" + name;
        struct stat st {};
        if (::lstat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode) && !detail::stepFails("delete", full) &&
            ::unlink(full.c_str()) == 0) {
            ++deleted;
        }
    }
    return deleted;
}

// The name of a temporary file a safe rewrite makes: ".", the name, ".new-" and six letters or
// digits.
bool isTemporaryName(std::string_view name) {
    constexpr std::string_view kNew = ".new-";
    if (name.size() < 1 + 1 + kNew.size() + kTemporarySuffixLength || name.front() != '.') {
        return false;
    }
    const std::string_view suffix = name.substr(name.size() - kTemporarySuffixLength);
    return name.substr(name.size() - kTemporarySuffixLength - kNew.size(), kNew.size()) == kNew &&
           std::all_of(suffix.begin(), suffix.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

} // namespace

std::size_t deleteSafeWriteLeftovers(const std::string& path) {
    const std::string os = osPath(path);
    const std::string prefix = temporaryPrefix(os);
    return deleteLeftovers(folderOf(os), folderOf(path), [&](std::string_view name) {
        return name.size() == prefix.size() + kTemporarySuffixLength && name.starts_with(prefix);
    });
}

std::size_t deleteAllSafeWriteLeftovers(const std::string& folder) {
    return deleteLeftovers(osPath(folder), folder, isTemporaryName);
}

std::uint64_t appendToFile(const std::string& path, std::string_view content) {
    const std::string os = osPath(path);
    if (detail::stepFails("open", os)) {
        fail(path, errno);
    }
    bool created = false;
    Descriptor fd(openOrdinary(path, os, O_WRONLY | O_APPEND, true, &created));
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        fail(path, errno);
    }
    int err = writeAll(fd.get(), content, os);
    if (err == 0 && (detail::stepFails("sync file", os) || ::fsync(fd.get()) != 0)) {
        err = errno;
    }
    if (err != 0) {
        // Never leave half an entry behind.
        if (!detail::stepFails("truncate", os) && ::ftruncate(fd.get(), st.st_size) == 0) {
            ::fsync(fd.get());
        }
        fail(path, err);
    }
    if (fd.close(os) != 0) {
        // Whatever reached the disk, the caller hears that the append failed: take it back, so
        // that an entry is never saved twice when the member tries again.
        err = errno;
        cutBack(os, st.st_size);
        fail(path, err);
    }
    if (created) {
        syncFolder(folderOf(os)); // the content is on the disk; its name follows as it can
    }
    return static_cast<std::uint64_t>(st.st_size);
}

void truncateFile(const std::string& path, std::uint64_t length) {
    const std::string os = osPath(path);
    Descriptor fd(openOrdinary(path, os, O_WRONLY));
    if (detail::stepFails("truncate", os) || ::ftruncate(fd.get(), static_cast<off_t>(length)) != 0) {
        fail(path, errno);
    }
    if (detail::stepFails("sync file", os) || ::fsync(fd.get()) != 0) {
        fail(path, errno);
    }
}

void createEmptyFile(const std::string& path) {
    const std::string os = osPath(path);
    if (detail::stepFails("create", os)) {
        fail(path, errno);
    }
    bool created = false;
    Descriptor fd(openOrdinary(path, os, O_WRONLY, true, &created));
    if (!created && (detail::stepFails("truncate", os) || ::ftruncate(fd.get(), 0) != 0)) {
        fail(path, errno);
    }
    if (detail::stepFails("sync file", os) || ::fsync(fd.get()) != 0) {
        fail(path, errno);
    }
    if (fd.close(os) != 0) {
        fail(path, errno);
    }
    // A new member's files must be there after a power cut, not only their folder.
    if (const int err = syncFolder(folderOf(os)); err != 0) {
        fail(path, err);
    }
}

bool fileExists(const std::string& path) {
    return kindOfPath(path) == PathKind::File && !isHiddenOrSystem(path);
}

bool pathExists(const std::string& path) {
    return kindOfPath(path) != PathKind::Missing;
}

void deleteFile(const std::string& path) {
    const std::string os = osPath(path);
    struct stat st {};
    if (::lstat(os.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        fail(path, EISDIR);
    }
    if (detail::stepFails("delete", os) || ::unlink(os.c_str()) != 0) {
        fail(path, errno);
    }
}

void makeFolder(const std::string& path) {
    const std::string os = osPath(path);
    if (detail::stepFails("mkdir", os) || ::mkdir(os.c_str(), 0700) != 0) {
        fail(path, errno);
    }
    // Whatever the umask says, a member folder is its owner's alone. The folder is changed
    // through a descriptor, or a call, that does not follow a link: nothing else is ever changed.
    int err = 0;
    const int fd = ::open(os.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        struct stat st {};
        if (::fstat(fd, &st) == 0 && (st.st_mode & 07777) != 0700) {
            ::fchmod(fd, 0700);
        }
        ::close(fd);
    } else if (errno != EACCES || ::fchmodat(AT_FDCWD, os.c_str(), 0700, AT_SYMLINK_NOFOLLOW) != 0) {
        err = errno; // an umask that left the owner no way in, and no way to mend it
    }
    if (err == 0) {
        // Adding a member must survive a power cut: the folder's name reaches the disk.
        err = syncFolder(folderOf(os));
    }
    if (err != 0) {
        // A folder that may not be on the disk is no folder to build a member in.
        ::rmdir(os.c_str());
        fail(path, err);
    }
}

void removeFolder(const std::string& path) {
    const std::string os = osPath(path);
    if (detail::stepFails("remove folder", os) || ::rmdir(os.c_str()) != 0) {
        fail(path, errno);
    }
}

std::vector<FolderEntry> listFolder(const std::string& folder, const std::string& pattern, bool includeFolders) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(osPath(folder).c_str()), ::closedir);
    if (!dir) {
        fail(folder, errno);
    }
    std::vector<FolderEntry> entries;
    while (const dirent* d = ::readdir(dir.get())) {
        // Every name is listed by its real name, in whatever language it is written.
        const std::string name = d->d_name;
        if (name == "." || name == ".." || !matchesPattern(name, pattern)) {
            continue;
        }
        const std::string full = joinPath(folder, name);
        const PathKind kind = kindOfPath(full);
        const bool isFolder = kind == PathKind::Folder;
        if ((isFolder && !includeFolders) || kind == PathKind::Other || kind == PathKind::Missing ||
            isHiddenOrSystem(full)) {
            continue;
        }
        entries.push_back({name, isFolder});
    }
    std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
        const std::string fa = foldCase(a.name);
        const std::string fb = foldCase(b.name);
        return fa != fb ? fa < fb : a.name < b.name;
    });
    return entries;
}

bool matchesPattern(std::string_view name, std::string_view pattern) {
    if (pattern == "*.*" || pattern == "*") {
        return true;
    }
    // Character by character, letter case ignored: "?" stands for one character, whatever it
    // takes to write.
    auto folded = [](std::string_view text) {
        std::u32string out;
        for (std::size_t i = 0; i < text.size();) {
            out += foldCase(nextCodePoint(text, i));
        }
        return out;
    };
    const std::u32string n = folded(name);
    const std::u32string p = folded(pattern);
    // Iterative wildcard match with one level of backtracking to the last "*".
    std::size_t ni = 0, pi = 0, starP = std::u32string::npos, starN = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
            ++ni;
            ++pi;
        } else if (pi < p.size() && p[pi] == '*') {
            starP = pi++;
            starN = ni;
        } else if (starP != std::u32string::npos) {
            pi = starP + 1;
            ni = ++starN;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*') {
        ++pi;
    }
    return pi == p.size();
}

void setWriteBudget(std::optional<std::uint64_t> bytes) {
    budgetLeft() = bytes;
}

std::optional<std::uint64_t> writeBudget() {
    return budgetLeft();
}

void setDiskStepRecorder(DiskStepRecorder recorder) {
    diskStepRecorder() = std::move(recorder);
}

void setFaultAfterSteps(std::optional<std::uint64_t> steps) {
    faultCountdown() = steps;
}

std::optional<std::uint64_t> stepsBeforeFault() {
    return faultCountdown();
}

namespace detail {

bool stepFails(std::string_view step, const std::string& path) {
    record(step, path);
    std::optional<std::uint64_t>& steps = faultCountdown();
    if (!steps) {
        return false;
    }
    if (*steps > 0) {
        --*steps;
        return false;
    }
    steps.reset(); // one fault: the disk works again for whatever the program does next
    errno = EIO;
    return true;
}

} // namespace detail

} // namespace platform
