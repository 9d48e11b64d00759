#ifndef _WIN32

#include "platform/core/Native.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "platform/core/FileAttributes.h"
#include "platform/core/Paths.h"

namespace platform {

std::string errorText(int err) {
    return std::strerror(err);
}

namespace native {
namespace {

// The hidden mark as Wine and Samba keep it: hexadecimal text in an extended attribute.
constexpr const char* kAttrName = "user.DOSATTRIB";
constexpr unsigned kStoredBits = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;

bool unsupported(int err) {
    return err == ENOTSUP || err == EOPNOTSUPP || err == EPERM;
}

unsigned parseStored(const char* value, ssize_t length) {
    if (length < 3 || length > 16 || value[0] != '0' || (value[1] != 'x' && value[1] != 'X')) {
        return 0; // some other tool's binary form: nothing we can read
    }
    const std::string text(value + 2, static_cast<std::size_t>(length) - 2);
    char* end = nullptr;
    const unsigned long bits = std::strtoul(text.c_str(), &end, 16);
    return static_cast<unsigned>(bits) & kStoredBits;
}

std::string storedText(unsigned attributes) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%x", attributes & kStoredBits);
    return buf;
}

int fd(Handle handle) {
    return static_cast<int>(handle);
}

std::int64_t nanoseconds(const struct timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

void fillIdentity(const struct stat& st, FileIdentity& identity) {
    identity.volume = static_cast<std::uint64_t>(st.st_dev);
    identity.file = static_cast<std::uint64_t>(st.st_ino);
    identity.size = static_cast<std::uint64_t>(st.st_size);
    identity.modified = nanoseconds(st.st_mtim);
    identity.changed = nanoseconds(st.st_ctim);
}

} // namespace

int lastError() {
    return errno;
}

void setFaultError() {
    errno = EIO;
}

int fullDiskError() {
    return ENOSPC;
}

int missingError() {
    return ENOENT;
}

int folderError() {
    return EISDIR;
}

bool writeRefused(int err) {
    return err == EACCES || err == EROFS;
}

PathKind kindOf(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
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

Handle openFile(const std::string& path, Access access, bool create, bool* created) {
    // Not waiting keeps a named pipe from hanging the program until somebody opens its other end.
    int flags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    flags |= access == Access::Read ? O_RDONLY : access == Access::Write ? O_WRONLY : (O_WRONLY | O_APPEND);
    if (create) {
        const int made = ::open(path.c_str(), flags | O_CREAT | O_EXCL, 0600);
        if (made >= 0) {
            ::fchmod(made, 0600); // whatever the umask
            if (created) {
                *created = true;
            }
            return made;
        }
        if (errno != EEXIST) {
            return kNoHandle;
        }
    }
    const int opened = ::open(path.c_str(), flags);
    return opened >= 0 ? opened : kNoHandle;
}

bool isOrdinaryFile(Handle handle, bool& isFolder) {
    struct stat st {};
    isFolder = false;
    if (::fstat(fd(handle), &st) != 0) {
        return false;
    }
    isFolder = S_ISDIR(st.st_mode);
    if (!S_ISREG(st.st_mode)) {
        return false;
    }
    // An ordinary file is read and written as usual from here on.
    ::fcntl(fd(handle), F_SETFL, ::fcntl(fd(handle), F_GETFL) & ~O_NONBLOCK);
    return true;
}

bool fileSize(Handle handle, std::uint64_t& size) {
    struct stat st {};
    if (::fstat(fd(handle), &st) != 0) {
        return false;
    }
    size = static_cast<std::uint64_t>(st.st_size);
    return true;
}

bool identityOf(Handle handle, FileIdentity& identity) {
    struct stat st {};
    if (::fstat(fd(handle), &st) != 0) {
        return false;
    }
    fillIdentity(st, identity);
    return true;
}

bool identityOf(const std::string& path, FileIdentity& identity) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return false;
    }
    fillIdentity(st, identity);
    return true;
}

std::int64_t readSome(Handle handle, char* data, std::size_t size) {
    for (;;) {
        const ssize_t n = ::read(fd(handle), data, size);
        if (n >= 0 || errno != EINTR) {
            return n;
        }
    }
}

std::int64_t writeSome(Handle handle, const char* data, std::size_t size) {
    for (;;) {
        const ssize_t n = ::write(fd(handle), data, size);
        if (n >= 0 || errno != EINTR) {
            return n;
        }
    }
}

bool syncFile(Handle handle) {
    return ::fsync(fd(handle)) == 0;
}

bool truncateFile(Handle handle, std::uint64_t length) {
    return ::ftruncate(fd(handle), static_cast<off_t>(length)) == 0;
}

bool closeFile(Handle handle) {
    return ::close(fd(handle)) == 0;
}

Handle createTemporaryFile(const std::string& folder, const std::string& prefix, std::string& path) {
    path = joinPath(folder, prefix + "XXXXXX");
    const int result = ::mkostemp(path.data(), O_CLOEXEC); // mkstemp makes it 0600
    return result >= 0 ? result : kNoHandle;
}

void keepPermissions(Handle handle, const std::string& replaced) {
    // A file system that keeps no permissions (some network folders) refuses; the file then has
    // the mode it gives.
    struct stat old {};
    ::fchmod(fd(handle), ::lstat(replaced.c_str(), &old) == 0 ? old.st_mode & 07777 : 0600);
}

bool replaceFile(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

int syncFolder(const std::string& folder) {
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0) {
        return errno;
    }
    const int err = ::fsync(folderFd) == 0 ? 0 : errno;
    ::close(folderFd);
    return err;
}

bool deleteFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

bool makeFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0700) != 0) {
        return false;
    }
    // Whatever the umask says, a member folder is its owner's alone. The folder is changed
    // through a descriptor, or a call, that does not follow a link: nothing else is ever changed.
    const int folderFd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folderFd >= 0) {
        struct stat st {};
        if (::fstat(folderFd, &st) == 0 && (st.st_mode & 07777) != 0700) {
            ::fchmod(folderFd, 0700);
        }
        ::close(folderFd);
        return true;
    }
    if (errno == EACCES && ::fchmodat(AT_FDCWD, path.c_str(), 0700, AT_SYMLINK_NOFOLLOW) == 0) {
        return true;
    }
    const int err = errno; // an umask that left the owner no way in, and no way to mend it
    ::rmdir(path.c_str());
    errno = err;
    return false;
}

bool removeFolder(const std::string& path) {
    return ::rmdir(path.c_str()) == 0;
}

bool listNames(const std::string& folder, std::vector<std::string>& names) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) {
        return false;
    }
    while (const dirent* d = ::readdir(dir.get())) {
        names.emplace_back(d->d_name);
    }
    return true;
}

bool readAttributes(const std::string& path, unsigned& bits) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return false;
    }
    bits = 0;
    char value[32];
    const ssize_t n = ::lgetxattr(path.c_str(), kAttrName, value, sizeof value);
    if (n > 0) {
        bits = parseStored(value, n);
    }
    return true;
}

bool writeAttributes(const std::string& path, unsigned bits) {
    // The l-calls act on the path itself even if it has become a link since the caller looked.
    int rc = 0;
    if ((bits & kStoredBits) == 0) {
        rc = ::lremovexattr(path.c_str(), kAttrName);
        if (rc != 0 && errno == ENODATA) {
            rc = 0;
        }
    } else {
        const std::string text = storedText(bits);
        rc = ::lsetxattr(path.c_str(), kAttrName, text.data(), text.size(), 0);
    }
    return rc == 0 || unsupported(errno);
}

bool writeAttributes(Handle handle, unsigned bits) {
    if ((bits & kStoredBits) == 0) {
        return true; // a new file carries no attribute
    }
    const std::string text = storedText(bits);
    return ::fsetxattr(fd(handle), kAttrName, text.data(), text.size(), 0) == 0 || unsupported(errno);
}

LockResult lockWhole(Handle handle) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(fd(handle), F_OFD_SETLK, &lock) == 0) {
        return LockResult::Taken;
    }
    if (errno == EAGAIN || errno == EACCES) {
        return LockResult::Busy;
    }
    if (errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOSYS || errno == EINVAL) {
        return LockResult::NoLocks;
    }
    return LockResult::Failed;
}

bool stillNamed(Handle handle, const std::string& path) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd(handle), &opened) == 0 && opened.st_nlink > 0 && ::lstat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

void turnOffCrashDumps() {
    const struct rlimit none {};
    ::setrlimit(RLIMIT_CORE, &none);
    ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
}

} // namespace native
} // namespace platform

#endif
