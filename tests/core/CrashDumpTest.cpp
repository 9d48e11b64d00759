#ifndef _WIN32

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/core/CrashDumps.h"
#include "store/MemberPages.h"
#include "store/MemberSession.h"
#include "support/core/MemberFixture.h"
#include "support/core/TempFolder.h"

// A crash of the program leaves no core file with a member's diary in it.
namespace {

// A child that reads Ann's page, logs her off and crashes in folder, with dumps turned off as
// the program turns them off at its start, or not. Returns its wait status.
int crashAfterLogOff(const std::string& app, const std::string& folder, bool turnOff) {
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        // As large a core as the system allows, so that only turning dumps off can prevent one.
        struct rlimit core {};
        ::getrlimit(RLIMIT_CORE, &core);
        core.rlim_cur = core.rlim_max;
        ::setrlimit(RLIMIT_CORE, &core);
        if (::chdir(folder.c_str()) != 0) {
            std::_Exit(3);
        }
        if (turnOff) {
            platform::turnOffCrashDumps();
        }
        MemberSession session(app);
        if (session.logIn("Ann", "Ann").outcome != MemberSession::LoginOutcome::LoggedIn) {
            std::_Exit(4);
        }
        const std::string page = readMemberPage(session, 1, PageFile::Unreadable::Fail).display;
        session.setSearchText("4711");
        session.logOff();
        std::signal(SIGSEGV, SIG_DFL);
        std::raise(SIGSEGV);
        std::_Exit(page.empty() ? 5 : 6);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

bool isEmpty(const std::string& folder) {
    return std::filesystem::directory_iterator(folder) == std::filesystem::directory_iterator();
}

TEST(CrashDumps, ACrashAfterLogOffLeavesNoCoreFile) {
    TempFolder app;
    fixture::makeMember(app.path(), "Ann", 110, "Ann");
    fixture::writePage(app.path(), "Ann", 1, 110, {"Bank PIN is 4711", ""});

    TempFolder turnedOff;
    const int status = crashAfterLogOff(app.path(), turnedOff.path(), true);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended without crashing: " << WEXITSTATUS(status);
    EXPECT_EQ(WTERMSIG(status), SIGSEGV);
    EXPECT_FALSE(WCOREDUMP(status));
    EXPECT_TRUE(isEmpty(turnedOff.path()));

    // The same crash with dumps as the system has them does dump, where the system takes dumps
    // at all: the test above would see one.
    TempFolder control;
    const int controlStatus = crashAfterLogOff(app.path(), control.path(), false);
    ASSERT_TRUE(WIFSIGNALED(controlStatus));
    std::string pattern;
    std::getline(std::ifstream("/proc/sys/kernel/core_pattern"), pattern);
    if (!WCOREDUMP(controlStatus)) {
        std::cout << "This system takes no core dumps (core pattern \"" << pattern
                  << "\"); only the crash with dumps turned off was seen." << std::endl;
    } else if (!pattern.empty() && pattern[0] != '|' && pattern[0] != '/') {
        EXPECT_FALSE(isEmpty(control.path())) << "a core was dumped, but not into the working folder";
    }
}

} // namespace

#endif
