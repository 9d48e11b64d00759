#include "support/core/HundredMegabytePage.h"

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

#include "store/Cipher.h"
#include "store/MemberSession.h"
#include "support/core/MemberFixture.h"

namespace fixture {

HundredMegabytePage::HundredMegabytePage(const std::string& path, int key) {
    // One lock for every test program of the run, however CTest spreads them.
    const std::string lock = (std::filesystem::temp_directory_path() / "jotterel-hundred-megabyte-page.lock").string();
#ifdef _WIN32
    HANDLE file = ::CreateFileA(lock.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    OVERLAPPED from{};
    if (file != INVALID_HANDLE_VALUE && ::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &from)) {
        m_lock = reinterpret_cast<std::intptr_t>(file);
    } else if (file != INVALID_HANDLE_VALUE) {
        ::CloseHandle(file);
    }
#else
    m_lock = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (m_lock >= 0) {
        ::flock(static_cast<int>(m_lock), LOCK_EX);
    }
#endif
    const std::string entry = Cipher::encryptWithKey(kHundredMegabyteEntry, key);
    m_entries = 100'000'000 / (entry.size() + 4) + 1;
    std::string bytes;
    bytes.reserve(m_entries * (entry.size() + 4));
    for (std::size_t i = 0; i < m_entries; ++i) {
        bytes += entry;
        bytes += "\r\n\r\n";
    }
    writeBytes(path, bytes);
}

HundredMegabytePage::~HundredMegabytePage() {
#ifdef _WIN32
    if (m_lock != -1) {
        ::CloseHandle(reinterpret_cast<HANDLE>(m_lock)); // closing lets the next one go
    }
#else
    if (m_lock >= 0) {
        ::close(static_cast<int>(m_lock)); // closing lets the next one go
    }
#endif
}

} // namespace fixture
