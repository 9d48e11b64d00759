#include "platform/core/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/AnsiText.h"
#include "platform/core/Cp1252.h"
#include "platform/core/FileAttributes.h"
#include "platform/core/FileError.h"
#include "platform/core/Paths.h"

namespace platform {
namespace {

std::optional<std::uint64_t>& writeBudget() {
    static std::optional<std::uint64_t> budget;
    return budget;
}

std::optional<std::uint64_t>& stepsBeforeFault() {
    static std::optional<std::uint64_t> steps;
    return steps;
}

[[noreturn]] void fail(const std::string& path, int err) {
    throw FileError(path, ErrorText(err));
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
    int close() {
        const bool fault = detail::StepFails();
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

// Writes everything or returns the errno of the failure.
int writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        std::size_t chunk = data.size();
        if (writeBudget()) {
            if (*writeBudget() == 0) {
                return ENOSPC;
            }
            chunk = static_cast<std::size_t>(std::min<std::uint64_t>(chunk, *writeBudget()));
        }
        const ssize_t n = ::write(fd, data.data(), chunk);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (writeBudget()) {
            *writeBudget() -= static_cast<std::uint64_t>(n);
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

// Makes a rename in the folder durable. The file already holds its new content, so a failure
// here changes nothing the program could report.
void syncFolderOf(const std::string& osPath) {
    const std::string folder = FolderOf(osPath);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        if (!detail::StepFails()) {
            ::fsync(fd);
        }
        ::close(fd);
    }
}

// Cuts an appended file back to its old length through its path, once its descriptor is gone.
void cutBack(const std::string& osPath, off_t length) {
    const int fd = ::open(osPath.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd >= 0) {
        if (!detail::StepFails() && ::ftruncate(fd, length) == 0) {
            ::fsync(fd);
        }
        ::close(fd);
    }
}

// A safe rewrite of "NAME" writes ".NAME.new-" and six random characters first.
constexpr char kTemporarySuffix[] = "XXXXXX";
constexpr std::size_t kTemporarySuffixLength = sizeof kTemporarySuffix - 1;

std::string temporaryPrefix(const std::string& osPath) {
    return "." + FileNameOf(osPath) + ".new-";
}

bool isHiddenOrSystem(const std::string& path) {
    try {
        return (GetAttr(path) & (kAttrHidden | kAttrSystem)) != 0;
    } catch (const FileError&) {
        return true; // gone or unreadable: not something to offer
    }
}

} // namespace

std::string ReadFileBytes(const std::string& path) {
    std::string data;
    ReadFileBytes(path, data);
    return data;
}

void ReadFileBytes(const std::string& path, std::string& data) {
    Descriptor fd(::open(OsPath(path).c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        fail(path, errno);
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        fail(path, errno);
    }
    if (S_ISDIR(st.st_mode)) {
        fail(path, EISDIR);
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

std::vector<std::string> ReadLines(const std::string& path) {
    const std::string data = ReadFileBytes(path);
    std::vector<std::string> lines;
    ForEachLine(data, [&](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::size_t size = 0;
    for (const auto& line : lines) {
        size += line.size() + 2;
    }
    std::string out;
    out.reserve(size);
    for (const auto& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

void WriteFileSafely(const std::string& path, std::string_view content, unsigned attributes) {
    const std::string os = OsPath(path);
    std::string temp = FolderOf(os) + "/" + temporaryPrefix(os) + kTemporarySuffix;
    if (detail::StepFails()) {
        fail(path, errno);
    }
    Descriptor fd(::mkstemp(temp.data()));
    if (fd.get() < 0) {
        fail(path, errno);
    }
    auto discard = [&](int err) {
        if (!detail::StepFails()) {
            ::unlink(temp.c_str());
        }
        fail(path, err);
    };
    // Keep the permissions the file had; a new file gets the usual ones.
    struct stat old {};
    mode_t mode = 0;
    if (::stat(os.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd.get(), mode);
    if (const int err = writeAll(fd.get(), content); err != 0) {
        discard(err);
    }
    if (detail::StepFails() || ::fsync(fd.get()) != 0) {
        discard(errno);
    }
    try {
        detail::SetAttrOnDescriptor(fd.get(), attributes, path);
    } catch (const FileError&) {
        if (!detail::StepFails()) {
            ::unlink(temp.c_str());
        }
        throw;
    }
    if (fd.close() != 0) {
        discard(errno);
    }
    if (detail::StepFails() || ::rename(temp.c_str(), os.c_str()) != 0) {
        discard(errno);
    }
    syncFolderOf(os);
}

std::size_t DeleteSafeWriteLeftovers(const std::string& path) {
    const std::string os = OsPath(path);
    const std::string folder = FolderOf(os);
    const std::string prefix = temporaryPrefix(os);
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) {
        fail(FolderOf(path), errno);
    }
    std::vector<std::string> leftovers;
    while (const dirent* d = ::readdir(dir.get())) {
        const std::string_view name = d->d_name;
        if (name.size() == prefix.size() + kTemporarySuffixLength && name.starts_with(prefix)) {
            leftovers.emplace_back(name);
        }
    }
    std::size_t deleted = 0;
    for (const std::string& name : leftovers) {
        const std::string full = folder + "/" + name;
        struct stat st {};
        if (::lstat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode) && !detail::StepFails() &&
            ::unlink(full.c_str()) == 0) {
            ++deleted;
        }
    }
    return deleted;
}

std::uint64_t AppendToFile(const std::string& path, std::string_view content) {
    const std::string os = OsPath(path);
    if (detail::StepFails()) {
        fail(path, errno);
    }
    Descriptor fd(::open(os.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
    if (fd.get() < 0) {
        fail(path, errno);
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        fail(path, errno);
    }
    int err = writeAll(fd.get(), content);
    if (err == 0 && (detail::StepFails() || ::fsync(fd.get()) != 0)) {
        err = errno;
    }
    if (err != 0) {
        // Never leave half an entry behind.
        if (!detail::StepFails() && ::ftruncate(fd.get(), st.st_size) == 0) {
            ::fsync(fd.get());
        }
        fail(path, err);
    }
    if (fd.close() != 0) {
        // Whatever reached the disk, the caller hears that the append failed: take it back, so
        // that an entry is never saved twice when the member tries again.
        err = errno;
        cutBack(os, st.st_size);
        fail(path, err);
    }
    return static_cast<std::uint64_t>(st.st_size);
}

void TruncateFile(const std::string& path, std::uint64_t length) {
    const std::string os = OsPath(path);
    if (detail::StepFails()) {
        fail(path, errno);
    }
    Descriptor fd(::open(os.c_str(), O_WRONLY | O_CLOEXEC));
    if (fd.get() < 0 || ::ftruncate(fd.get(), static_cast<off_t>(length)) != 0 || ::fsync(fd.get()) != 0) {
        fail(path, errno);
    }
}

void CreateEmptyFile(const std::string& path) {
    if (detail::StepFails()) {
        fail(path, errno);
    }
    Descriptor fd(::open(OsPath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (fd.get() < 0) {
        fail(path, errno);
    }
    if (fd.close() != 0) {
        fail(path, errno);
    }
}

bool FileExists(const std::string& path) {
    struct stat st {};
    if (::stat(OsPath(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return false;
    }
    return !isHiddenOrSystem(path);
}

bool PathExists(const std::string& path) {
    struct stat st {};
    return ::lstat(OsPath(path).c_str(), &st) == 0;
}

bool FolderExists(const std::string& path) {
    struct stat st {};
    return ::stat(OsPath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void DeleteFile(const std::string& path) {
    const std::string os = OsPath(path);
    struct stat st {};
    if (::lstat(os.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        fail(path, EISDIR);
    }
    if (detail::StepFails() || ::unlink(os.c_str()) != 0) {
        fail(path, errno);
    }
}

std::size_t DeleteFiles(const std::string& folder, const std::string& pattern) {
    std::size_t deleted = 0;
    for (const FolderEntry& entry : ListFolder(folder, pattern, false)) {
        if (!detail::StepFails() && ::unlink(OsPath(JoinPath(folder, entry.name)).c_str()) == 0) {
            ++deleted;
        }
    }
    return deleted;
}

void MakeFolder(const std::string& path) {
    if (detail::StepFails() || ::mkdir(OsPath(path).c_str(), 0777) != 0) {
        fail(path, errno);
    }
}

void RemoveFolder(const std::string& path) {
    if (detail::StepFails() || ::rmdir(OsPath(path).c_str()) != 0) {
        fail(path, errno);
    }
}

std::vector<FolderEntry> ListFolder(const std::string& folder, const std::string& pattern, bool includeFolders) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(OsPath(folder).c_str()), ::closedir);
    if (!dir) {
        fail(folder, errno);
    }
    std::vector<FolderEntry> entries;
    while (const dirent* d = ::readdir(dir.get())) {
        const std::string osName = d->d_name;
        if (osName == "." || osName == "..") {
            continue;
        }
        bool lossless = true;
        const std::string name = Utf8ToCp1252(osName, &lossless);
        if (!lossless || !MatchesPattern(name, pattern)) {
            continue;
        }
        const std::string full = JoinPath(folder, name);
        struct stat st {};
        if (::stat(OsPath(full).c_str(), &st) != 0) {
            continue;
        }
        const bool isFolder = S_ISDIR(st.st_mode);
        if ((isFolder && !includeFolders) || (!isFolder && !S_ISREG(st.st_mode)) || isHiddenOrSystem(full)) {
            continue;
        }
        entries.push_back({name, isFolder});
    }
    std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
        const std::string ua = UCase(a.name);
        const std::string ub = UCase(b.name);
        return ua != ub ? ua < ub : a.name < b.name;
    });
    return entries;
}

bool MatchesPattern(std::string_view name, std::string_view pattern) {
    if (pattern == "*.*" || pattern == "*") {
        return true;
    }
    const std::string n = UCase(name);
    const std::string p = UCase(pattern);
    // Iterative wildcard match with one level of backtracking to the last "*".
    std::size_t ni = 0, pi = 0, starP = std::string::npos, starN = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
            ++ni;
            ++pi;
        } else if (pi < p.size() && p[pi] == '*') {
            starP = pi++;
            starN = ni;
        } else if (starP != std::string::npos) {
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

void SetWriteBudget(std::optional<std::uint64_t> bytes) {
    writeBudget() = bytes;
}

std::optional<std::uint64_t> WriteBudget() {
    return writeBudget();
}

void SetFaultAfterSteps(std::optional<std::uint64_t> steps) {
    stepsBeforeFault() = steps;
}

std::optional<std::uint64_t> StepsBeforeFault() {
    return stepsBeforeFault();
}

namespace detail {

bool StepFails() {
    std::optional<std::uint64_t>& steps = stepsBeforeFault();
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
