#include "store/MemberLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/core/FileError.h"
#include "platform/core/Paths.h"

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
