#include "store/MemberLock.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"

namespace {

// The longest name a folder entry may have on the file systems the program runs on.
constexpr std::size_t kLongestFileName = 255;

// True when the file system has no locks to give, as opposed to a lock that is taken.
bool noLocksHere(int err) {
    return err == ENOLCK || err == EOPNOTSUPP || err == ENOSYS || err == EINVAL;
}

std::uint64_t nameHash(std::string_view name) {
    std::uint64_t h = 14695981039346656037ULL; // FNV-1a
    for (char c : name) {
        h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    }
    return h;
}

} // namespace

MemberLock::MemberLock(MemberLock&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {
}

MemberLock& MemberLock::operator=(MemberLock&& other) noexcept {
    if (this != &other) {
        release();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

std::string MemberLock::lockFilePath(const std::string& memberFolder) {
    const std::string member = platform::fileNameOf(memberFolder);
    // Member names never start with a dot, so no lock file is ever taken for a member folder,
    // and each ends in ".lock", so no member's lock file is another's.
    const std::string name = "." + member + ".lock";
    if (platform::osPath(name).size() <= kLongestFileName) {
        return platform::joinPath(platform::folderOf(memberFolder), name);
    }
    // A name too long to carry a dot and ".lock" gets a lock file named for its hash, which no
    // short name's lock file can be (none ends in ".lck"). Two long names sharing a hash would
    // share a lock: neither could log in while the other is, and nothing worse.
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(nameHash(member)));
    return platform::joinPath(platform::folderOf(memberFolder), std::string(".long-name-") + hash + ".lck");
}

bool MemberLock::acquire(const std::string& memberFolder) {
    release();
    // The member's files are opened through the folder's path: a link in its place would lead
    // them elsewhere.
    if (const platform::PathKind kind = platform::kindOfPath(memberFolder); kind != platform::PathKind::Folder) {
        if (kind == platform::PathKind::Missing) {
            throw platform::FileError(memberFolder, platform::errorText(ENOENT));
        }
        throw platform::FileError(memberFolder, platform::refusalReason(kind));
    }
    const std::string path = lockFilePath(memberFolder);
    const std::string os = platform::osPath(path);
    constexpr int kOpen = O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int fd = ::open(os.c_str(), kOpen | O_CREAT | O_EXCL, 0600);
    if (fd >= 0) {
        ::fchmod(fd, 0600); // whatever the umask
    } else if (errno == EEXIST) {
        fd = ::open(os.c_str(), kOpen);
    }
    if (fd < 0 && (errno == EACCES || errno == EROFS) && platform::kindOfPath(path) == platform::PathKind::Missing) {
        return true; // an application folder nobody may add to: no lock to be had, as above
    }
    if (fd < 0) {
        const int err = errno;
        const platform::PathKind kind = platform::kindOfPath(path);
        throw platform::FileError(path, kind == platform::PathKind::Link || kind == platform::PathKind::Folder ||
                                                kind == platform::PathKind::Other
                                            ? platform::refusalReason(kind)
                                            : platform::errorText(err));
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw platform::FileError(path, platform::refusalReason(platform::PathKind::Other));
    }
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_SETLK, &lock) != 0) {
        const int err = errno;
        ::close(fd);
        if (err == EAGAIN || err == EACCES) {
            return false;
        }
        if (noLocksHere(err)) {
            return true; // the member logs in as on a disk of a single user
        }
        throw platform::FileError(path, platform::errorText(err));
    }
    m_fd = fd;
    return true;
}

void MemberLock::release() {
    if (m_fd >= 0) {
        ::close(m_fd); // closing the last descriptor of the open file drops the lock
        m_fd = -1;
    }
}
