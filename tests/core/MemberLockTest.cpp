#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <sys/stat.h>

#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "store/MemberLock.h"
#include "store/MemberName.h"
#include "support/core/MemberFixture.h"
#include "support/core/OrdinaryUser.h"
#include "support/core/TempFolder.h"

// The member lock as two copies of the program see it. Two locks in one process stand for two
// programs: the lock belongs to the open lock file, not to the process.
namespace {

std::set<std::string> entriesOf(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        names.insert(e.path().filename().string());
    }
    return names;
}

TEST(MemberLock, OneHolderAtATimeAndNothingAddedToTheMemberFolder) {
    TempFolder app;
    const std::string ann = fixture::makeMember(app.path(), "Ann", 110, "Ann");
    const std::string bob = fixture::makeMember(app.path(), "Bob", 120, "Bob");
    const std::set<std::string> annFiles = entriesOf(ann);

    MemberLock first;
    MemberLock second;
    ASSERT_TRUE(first.acquire(ann));
    EXPECT_TRUE(first.held());
    EXPECT_FALSE(second.acquire(ann));
    EXPECT_FALSE(second.held());
    EXPECT_TRUE(second.acquire(bob));
    first.release();
    EXPECT_TRUE(second.acquire(ann)); // gives up Bob
    EXPECT_TRUE(first.acquire(bob));
    MemberLock moved = std::move(second);
    EXPECT_FALSE(first.acquire(ann));

    // The lock files are hidden beside the member folders, the owner's alone, and no listing
    // of members or files shows them.
    EXPECT_EQ(entriesOf(ann), annFiles);
    const std::string lockFile = MemberLock::lockFilePath(ann);
    EXPECT_EQ(lockFile, app / ".Ann.lock");
    EXPECT_EQ(platform::kindOfPath(lockFile), platform::PathKind::File);
#ifndef _WIN32
    struct stat st {};
    ASSERT_EQ(::lstat(lockFile.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
#endif
    std::vector<std::string> listed;
    for (const auto& e : platform::listFolder(app.path(), "*.*", true)) {
        listed.push_back(e.name);
    }
    EXPECT_EQ(listed, (std::vector<std::string>{"Ann", "Bob"}));
}

TEST(MemberLock, NoTwoMembersShareALockFile) {
    const std::string longest(kMaxMemberNameBytes, 'a');
    const std::string names[] = {"A",
                                 "A.lock",
                                 "a",
                                 "A.lck",
                                 "long-name-0",
                                 longest,
                                 longest.substr(1) + "b",
                                 longest.substr(6),
                                 longest.substr(5),
                                 "\xE9t\xE9"};
    std::set<std::string> lockFiles;
    for (const std::string& name : names) {
        const std::string path = MemberLock::lockFilePath(platform::joinPath("app", name));
        const std::string file = path.substr(4);
        EXPECT_TRUE(path.starts_with(platform::joinPath("app", "."))) << name;
        EXPECT_LE(platform::osPath(file).size(), 255u) << name;
        EXPECT_TRUE(lockFiles.insert(file).second) << name;
    }
}

TEST(MemberLock, ALinkIsNeitherAMemberFolderNorALockFile) {
#ifdef _WIN32
    GTEST_SKIP() << "Not on Windows: it plants symbolic links, which a Windows account without the right to make "
                    "links cannot, and Wine shows as the files they point to.";
#else
    TempFolder app;
    const std::string ann = fixture::makeMember(app.path(), "Ann", 110, "Ann");
    std::filesystem::create_directory_symlink(ann, app / "Linked");
    MemberLock lock;
    try {
        lock.acquire(app / "Linked");
        ADD_FAILURE() << "a link was taken for a member folder";
    } catch (const platform::FileError& e) {
        EXPECT_EQ(e.reason(), "It is a link to another place, which Jotterel never follows.");
    }
    EXPECT_THROW(lock.acquire(app / "Nobody"), platform::FileError);

    // A lock file planted as a link to another file leaves that file alone.
    const std::string outside = app / "outside";
    fixture::writeBytes(outside, "not the diary's");
    ::chmod(outside.c_str(), 0644);
    std::filesystem::create_symlink(outside, MemberLock::lockFilePath(ann));
    EXPECT_THROW(lock.acquire(ann), platform::FileError);
    EXPECT_FALSE(lock.held());
    struct stat st {};
    ASSERT_EQ(::stat(outside.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    EXPECT_EQ(fixture::readBytes(outside), "not the diary's");
#endif
}

TEST(MemberLock, AReadOnlyApplicationFolderLetsTheMemberInWithoutALock) {
    TempFolder app;
    const std::string ann = fixture::makeMember(app.path(), "Ann", 110, "Ann");
    std::string whyNot;
    const bool passed = fixture::runAsOrdinaryUser(
        [&] {
#ifndef _WIN32
            ASSERT_EQ(::chmod(app.path().c_str(), 0555), 0);
#endif
            MemberLock lock;
            EXPECT_TRUE(lock.acquire(ann));
            EXPECT_FALSE(lock.held());
            EXPECT_FALSE(platform::pathExists(MemberLock::lockFilePath(ann)));
        },
        {app.path()}, whyNot);
    if (!whyNot.empty()) {
        GTEST_SKIP() << whyNot;
    }
    EXPECT_TRUE(passed);
}

} // namespace
