#include "store/MemberLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

#include "platform/core/FileError.h"
#include "platform/core/Paths.h"

MemberLock::MemberLock(MemberLock&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {
}

MemberLock& MemberLock::operator=(MemberLock&& other) noexcept {
    if (this != &other) {
        Release();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

bool MemberLock::Acquire(const std::string& memberFolder) {
    Release();
    const int fd = ::open(platform::OsPath(memberFolder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        throw platform::FileError(memberFolder, platform::ErrorText(errno));
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK) {
            return false;
        }
        throw platform::FileError(memberFolder, platform::ErrorText(err));
    }
    m_fd = fd;
    return true;
}

void MemberLock::Release() {
    if (m_fd >= 0) {
        ::close(m_fd); // closing drops the lock
        m_fd = -1;
    }
}
