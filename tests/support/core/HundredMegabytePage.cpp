#include "support/core/HundredMegabytePage.h"

#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

#include "store/MemberSession.h"
#include "support/core/MemberFixture.h"

namespace fixture {

HundredMegabytePage::HundredMegabytePage(const std::string& path, int key) {
    // One lock for every test program of the run, however CTest spreads them.
    const std::string lock = (std::filesystem::temp_directory_path() / "jotterel-hundred-megabyte-page.lock").string();
    m_lock = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (m_lock >= 0) {
        ::flock(m_lock, LOCK_EX);
    }
    const std::string entry = MemberSession::encryptWithKey(kHundredMegabyteEntry, key);
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
    if (m_lock >= 0) {
        ::close(m_lock); // closing lets the next one go
    }
}

} // namespace fixture
