#include "support/core/OrdinaryUser.h"

#ifdef _WIN32

namespace fixture {

bool runAsOrdinaryUser(const std::function<void()>&, const std::vector<std::string>&, std::string& whyNot) {
    whyNot = "on Windows the rights of a file are an access list, not the owner and mode bits this "
             "test changes, and no process can turn into another account by a call";
    return false;
}

ReadOnlyFolder::ReadOnlyFolder(std::string folder) : m_folder(std::move(folder)) {
    whyNot = "on Windows the rights of a file are an access list, not the mode bits this test changes";
}

ReadOnlyFolder::~ReadOnlyFolder() = default;

} // namespace fixture

#else

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fixture {

bool runAsOrdinaryUser(const std::function<void()>& body, const std::vector<std::string>& handOver,
                       std::string& whyNot) {
    if (::geteuid() != 0) {
        body();
        return !::testing::Test::HasFailure();
    }
    for (const std::string& root : handOver) {
        if (::lchown(root.c_str(), kOrdinaryUser, kOrdinaryUser) != 0) {
            whyNot = "cannot give " + root + " to the ordinary user: " + std::strerror(errno);
            return false;
        }
        std::error_code ec;
        for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            ::lchown(it->path().c_str(), kOrdinaryUser, kOrdinaryUser);
        }
    }
    int ready[2];
    if (::pipe(ready) != 0) {
        whyNot = std::strerror(errno);
        return false;
    }
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0) {
        whyNot = std::string("cannot start a child process: ") + std::strerror(errno);
        return false;
    }
    if (child == 0) {
        ::close(ready[0]);
        if (::setgroups(0, nullptr) != 0 || ::setresgid(kOrdinaryUser, kOrdinaryUser, kOrdinaryUser) != 0 ||
            ::setresuid(kOrdinaryUser, kOrdinaryUser, kOrdinaryUser) != 0) {
            const std::string why = std::string("cannot become the ordinary user: ") + std::strerror(errno);
            [[maybe_unused]] const ssize_t n = ::write(ready[1], why.data(), why.size());
            std::_Exit(2);
        }
        ::close(ready[1]);
        body();
        std::fflush(nullptr);
        std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    ::close(ready[1]);
    char why[256];
    const ssize_t n = ::read(ready[0], why, sizeof why);
    ::close(ready[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (n > 0) {
        whyNot.assign(why, static_cast<std::size_t>(n));
        return false;
    }
    if (!WIFEXITED(status)) {
        ADD_FAILURE() << "the ordinary user's part was stopped by signal " << WTERMSIG(status);
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

namespace {

// Gives every entry under folder (itself too) to owner, with the modes files and folders get.
void handOver(const std::string& folder, uid_t owner, mode_t fileMode, mode_t folderMode) {
    std::vector<std::string> folders{folder};
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_symlink()) {
            continue;
        }
        if (it->is_directory()) {
            folders.push_back(it->path().string());
        } else {
            ::chown(it->path().c_str(), owner, owner);
            ::chmod(it->path().c_str(), fileMode);
        }
    }
    for (const std::string& f : folders) {
        ::chown(f.c_str(), owner, owner);
        ::chmod(f.c_str(), folderMode);
    }
}

} // namespace

ReadOnlyFolder::ReadOnlyFolder(std::string folder) : m_folder(std::move(folder)) {
    const bool superuser = ::geteuid() == 0;
    handOver(m_folder, superuser ? kOrdinaryUser : ::geteuid(), 0400, 0500);
    if (superuser) {
        // The whole process, every thread of it, acts as the ordinary user until put back.
        if (::setegid(kOrdinaryUser) != 0 || ::seteuid(kOrdinaryUser) != 0) {
            whyNot = std::string("cannot act as the ordinary user: ") + std::strerror(errno);
            ::setegid(0);
            return;
        }
        m_switched = true;
    }
}

ReadOnlyFolder::~ReadOnlyFolder() {
    if (m_switched) {
        ::seteuid(0);
        ::setegid(0);
    }
    handOver(m_folder, ::geteuid(), 0600, 0700);
}

} // namespace fixture

#endif
