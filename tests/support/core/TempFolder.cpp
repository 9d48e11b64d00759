#include "support/core/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <random>
#include <stdexcept>

TempFolder::TempFolder() {
#ifdef _WIN32
    // The system's temporary folder and a fresh name in it, the program's text in UTF-8.
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    std::random_device seed;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path candidate = base / ("jotterel-test-" + std::to_string(seed() % 1000000000u));
        if (std::filesystem::create_directory(candidate)) {
            const std::u8string text = candidate.u8string();
            m_path.assign(text.begin(), text.end());
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
#else
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/jotterel-test-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    m_path = pattern;
#endif
}

TempFolder::~TempFolder() {
    std::error_code ec;
    // Folders a test made read-only must be writable again before they can go.
    const std::filesystem::path root(std::u8string(m_path.begin(), m_path.end()));
    for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                     ec);
    }
    std::filesystem::permissions(root, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(root, ec);
}
