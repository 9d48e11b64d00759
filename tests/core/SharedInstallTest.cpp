#ifndef _WIN32

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/core/FileSystem.h"
#include "store/MemberLock.h"
#include "store/MemberSession.h"
#include "support/core/MemberFixture.h"
#include "support/core/TempFolder.h"

// Installed for everybody, the program's folder belongs to a group of all members and is
// setgid and sticky (chmod 3770): each member can add a diary there, and nobody can rename or
// replace the program or another member's folder. Two ordinary accounts try it.
namespace {

constexpr gid_t kMembers = 61000;
constexpr uid_t kAnnsAccount = 61001;
constexpr uid_t kBobsAccount = 61002;

// Runs body in a child process as the account uid, in the members' group; true when it ran
// without a test failure.
bool runAs(uid_t uid, const std::function<void()>& body) {
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        const gid_t groups[] = {kMembers};
        if (::setgroups(1, groups) != 0 || ::setresgid(uid, uid, uid) != 0 || ::setresuid(uid, uid, uid) != 0) {
            std::_Exit(2);
        }
        ::umask(022);
        body();
        std::fflush(nullptr);
        std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(SharedInstall, TwoAccountsEachKeepTheirOwnAndCannotReplaceTheProgram) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "making two accounts' processes needs the superuser; run the tests as root";
    }
    TempFolder temp;
    ::chmod(temp.path().c_str(), 0755);
    const std::string app = temp / "jotterel";
    ASSERT_EQ(::mkdir(app.c_str(), 0755), 0);
    const std::string program = app + "/jotterel";
    fixture::writeBytes(program, "the program");
    ::chmod(program.c_str(), 0755);
    // What the README has the installer do.
    ASSERT_EQ(::chown(app.c_str(), 0, kMembers), 0);
    ASSERT_EQ(::chmod(app.c_str(), 03770), 0);

    ASSERT_TRUE(runAs(kAnnsAccount, [&] {
        MemberSession session(app);
        ASSERT_EQ(session.addMember("Ann").status, MemberSession::NewMember::Added);
        ASSERT_EQ(session.logIn("Ann", "Ann").outcome, MemberSession::LoginOutcome::LoggedIn);
        session.setCaption(1, "Ann's own");
        session.saveCaptions();
    })) << "Ann's account could not add her diary";

    struct stat folder {};
    ASSERT_EQ(::stat((app + "/Ann").c_str(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 07777, 0700u);
    EXPECT_EQ(folder.st_uid, kAnnsAccount);
    const std::string annsCaptions = fixture::readBytes(app + "/Ann/UBF8USBS");

    ASSERT_TRUE(runAs(kBobsAccount, [&] {
        // Bob adds his own diary beside Ann's.
        MemberSession session(app);
        EXPECT_EQ(session.addMember("Bob").status, MemberSession::NewMember::Added);
        // He cannot read Ann's, nor log in as her.
        EXPECT_EQ(session.logIn("Ann", "Ann").outcome, MemberSession::LoginOutcome::PasswordFileUnreadable);
        EXPECT_THROW(platform::readFileBytes(app + "/Ann/UBF8USBS"), platform::FileError);
        // Nor rename her folder or take away her lock file.
        EXPECT_NE(::rename((app + "/Ann").c_str(), (app + "/Ann2").c_str()), 0);
        EXPECT_EQ(errno, EPERM);
        EXPECT_NE(::unlink(MemberLock::lockFilePath(app + "/Ann").c_str()), 0);
        // Nor rename the program, or put a program of his own in its place.
        EXPECT_NE(::rename(program.c_str(), (app + "/old").c_str()), 0);
        EXPECT_EQ(errno, EPERM);
        fixture::writeBytes(app + "/mine", "another program");
        EXPECT_NE(::rename((app + "/mine").c_str(), program.c_str()), 0);
        EXPECT_EQ(errno, EPERM);
        EXPECT_NE(::unlink(program.c_str()), 0);
    })) << "Bob's account could do what it must not";

    EXPECT_EQ(fixture::readBytes(program), "the program");
    EXPECT_EQ(fixture::readBytes(app + "/Ann/UBF8USBS"), annsCaptions);
    EXPECT_TRUE(std::filesystem::exists(app + "/Bob/QRBNSTJ4"));
    struct stat bobs {};
    ASSERT_EQ(::stat((app + "/Bob").c_str(), &bobs), 0);
    EXPECT_EQ(bobs.st_uid, kBobsAccount);
    EXPECT_EQ(bobs.st_gid, kMembers); // the setgid folder gives its group
}

// Another account of the group plants, before Ann's next login, every lock file and folder it
// can: where the lock used to be beside her folder, in her folder (which refuses it), and as
// the names of other members' lock files. Ann still logs in, and two copies of the program
// still cannot both hold her.
TEST(SharedInstall, AnotherAccountCannotKeepAMemberOut) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "making two accounts' processes needs the superuser; run the tests as root";
    }
    TempFolder temp;
    ::chmod(temp.path().c_str(), 0755);
    const std::string app = temp / "jotterel";
    ASSERT_EQ(::mkdir(app.c_str(), 0755), 0);
    ASSERT_EQ(::chown(app.c_str(), 0, kMembers), 0);
    ASSERT_EQ(::chmod(app.c_str(), 03770), 0);
    const std::string ann = app + "/Ann";

    ASSERT_TRUE(runAs(kAnnsAccount, [&] {
        MemberSession session(app);
        ASSERT_EQ(session.addMember("Ann").status, MemberSession::NewMember::Added);
    }));

    ASSERT_TRUE(runAs(kBobsAccount, [&] {
        ::umask(077);
        for (const std::string name : {".Ann.lock", ".lock", ".Ann", "Ann.lock"}) {
            fixture::writeBytes(app + "/" + name, "Bob's");
        }
        ASSERT_EQ(::mkdir((app + "/.Ann.lock.d").c_str(), 0700), 0);
        // Nothing can be put into Ann's folder, nor her lock taken from outside it.
        EXPECT_LT(::open(MemberLock::lockFilePath(ann).c_str(), O_WRONLY | O_CREAT, 0600), 0);
        EXPECT_EQ(errno, EACCES);
        EXPECT_NE(::mkdir((ann + "/.lock").c_str(), 0700), 0);
        MemberLock lock;
        lock.acquire(ann);
        EXPECT_FALSE(lock.held());
    })) << "Bob's account could plant a lock where Ann's copy takes hers";

    ASSERT_TRUE(runAs(kAnnsAccount, [&] {
        MemberSession first(app);
        ASSERT_EQ(first.logIn("Ann", "Ann").outcome, MemberSession::LoginOutcome::LoggedIn);
        MemberSession second(app);
        EXPECT_EQ(second.logIn("Ann", "Ann").outcome, MemberSession::LoginOutcome::LoggedInElsewhere);
        first.setCaption(1, "Still mine");
        first.saveCaptions();
        first.logOff();
        EXPECT_EQ(second.logIn("Ann", "Ann").outcome, MemberSession::LoginOutcome::LoggedIn);
        EXPECT_EQ(second.caption(1), "Still mine");
    })) << "Ann could not log in past what Bob planted";
}

} // namespace

#else

#include <gtest/gtest.h>

TEST(SharedInstall, TwoAccountsEachKeepTheirOwnAndCannotReplaceTheProgram) {
    GTEST_SKIP() << "Not on Windows: it shares an application folder between two accounts through owners, groups and "
                    "the setgid and sticky modes, which Windows does not have.";
}

#endif
