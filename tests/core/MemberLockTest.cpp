#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <sys/stat.h>
#ifndef _WIN32
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>
#endif

#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Native.h"
#include "platform/core/Paths.h"
#include "store/MemberLock.h"
#include "store/MemberName.h"
#include "store/MemberPages.h"
#include "store/MemberSession.h"
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

TEST(MemberLock, OneHolderAtATimeOnAHiddenFileInTheMemberFolder) {
    TempFolder app;
    const std::string ann = fixture::makeMember(app.path(), "Ann", 110, "Ann");
    const std::string bob = fixture::makeMember(app.path(), "Bob", 120, "Bob");
    std::set<std::string> annFiles = entriesOf(ann);

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

    // The lock file is the member folder's, its owner's alone, hidden, and no listing of
    // members or of the member's own files shows it.
    const std::string lockFile = MemberLock::lockFilePath(ann);
    EXPECT_EQ(lockFile, platform::joinPath(ann, ".lock"));
    annFiles.insert(".lock");
    EXPECT_EQ(entriesOf(ann), annFiles);
    EXPECT_EQ(entriesOf(app.path()), (std::set<std::string>{"Ann", "Bob"}));
    EXPECT_EQ(platform::kindOfPath(lockFile), platform::PathKind::File);
    EXPECT_EQ(fixture::readBytes(lockFile), "");
    EXPECT_TRUE(fixture::isHidden(lockFile));
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
    EXPECT_TRUE(platform::listFolder(ann, "*.*", false).empty());
    MemberSession session(app.path());
    ASSERT_EQ(session.logIn("Ann", "Ann").outcome, MemberSession::LoginOutcome::LoggedInElsewhere);
    moved.release();
    ASSERT_EQ(session.logIn("Ann", "Ann").outcome, MemberSession::LoginOutcome::LoggedIn);
    EXPECT_TRUE(session.otherFiles().empty());
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
        const std::string folder = platform::joinPath("app", name);
        const std::string path = MemberLock::lockFilePath(folder);
        EXPECT_EQ(platform::folderOf(path), folder) << name;
        EXPECT_TRUE(platform::fileNameOf(path).starts_with(".")) << name;
        EXPECT_TRUE(lockFiles.insert(path).second) << name;
    }
}

// Deleting the member takes the lock file with the folder; a copy that opened the lock file
// just before finds it gone once it has the lock, and never holds a member that is no more.
TEST(MemberLock, ALockFileDeletedWhileBeingTakenIsNoLock) {
    TempFolder app;
    const std::string ann = fixture::makeMember(app.path(), "Ann", 110, "Ann");
    MemberSession session(app.path());
    ASSERT_EQ(session.logIn("Ann", "Ann").outcome, MemberSession::LoginOutcome::LoggedIn);
    const MemberSession::Deletion deletion = session.deleteMember({});
    EXPECT_TRUE(deletion.left.empty());
    EXPECT_TRUE(deletion.folderRemoved);
    EXPECT_FALSE(platform::pathExists(ann));
    session.logOff();

    // Ann again, under the same name: a lock of her own, which the first Ann's cannot share.
    fixture::makeMember(app.path(), "Ann", 111, "Ann");
    MemberLock again;
    ASSERT_TRUE(again.acquire(ann));
    ASSERT_TRUE(again.held());
    MemberLock other;
    EXPECT_FALSE(other.acquire(ann));
#ifndef _WIN32
    // What a copy checks once it has the lock: the file it opened still bears the name.
    again.release();
    const std::string lockFile = MemberLock::lockFilePath(ann);
    const int opened = ::open(lockFile.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(opened, 0);
    EXPECT_TRUE(platform::native::stillNamed(opened, lockFile));
    ASSERT_EQ(::unlink(lockFile.c_str()), 0);
    EXPECT_FALSE(platform::native::stillNamed(opened, lockFile));
    fixture::writeBytes(lockFile, "");
    EXPECT_FALSE(platform::native::stillNamed(opened, lockFile)); // another file under the name
    ::close(opened);
#endif
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

// A diary on a folder that cannot be written opens for reading, whether or not the member has
// logged in before (and so left a lock file); a writable member folder in an application folder
// that cannot be written still gets its lock.
TEST(MemberLock, AFolderThatCannotBeWrittenOpensForReading) {
    struct Case {
        const char* what;
        bool memberFolderWritable;
        bool loggedInBefore;
    };
    const Case cases[] = {
        {"application folder read-only, before the first login", true, false},
        {"application folder read-only, after the first login", true, true},
        {"member folder read-only too, before the first login", false, false},
        {"member folder read-only too, after the first login", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder app;
        const std::string ann = fixture::makeMember(app.path(), "Ann", 110, "Ann");
        fixture::writePage(app.path(), "Ann", 3, 110, {"Bank PIN is 4711", ""});
        const std::string captions = fixture::pageContent(110, {"Money"});
        fixture::writeBytes(ann + "/" + MemberFolder::kCaptionsFile, captions);
        if (c.loggedInBefore) {
            MemberSession earlier(app.path());
            ASSERT_EQ(earlier.logIn("Ann", "Ann").outcome, MemberSession::LoginOutcome::LoggedIn);
        }
        ASSERT_EQ(platform::pathExists(MemberLock::lockFilePath(ann)), c.loggedInBefore);
        std::string whyNot;
        const bool passed = fixture::runAsOrdinaryUser(
            [&] {
#ifndef _WIN32
                if (!c.memberFolderWritable) {
                    for (const auto& e : std::filesystem::directory_iterator(ann)) {
                        ASSERT_EQ(::chmod(e.path().c_str(), 0400), 0);
                    }
                    ASSERT_EQ(::chmod(ann.c_str(), 0500), 0);
                }
                ASSERT_EQ(::chmod(app.path().c_str(), 0555), 0);
#endif
                MemberSession session(app.path());
                ASSERT_EQ(session.logIn("Ann", "Ann").outcome, MemberSession::LoginOutcome::LoggedIn);
                EXPECT_EQ(session.folderUnwritable().has_value(), !c.memberFolderWritable);
                EXPECT_EQ(session.caption(1), "Money");
                EXPECT_EQ(readMemberPage(session, 3, PageFile::Unreadable::Fail).display,
                          "[1] \tBank PIN is 4711\r\n\r\n");
                MemberSession second(app.path());
                EXPECT_EQ(second.logIn("Ann", "Ann").outcome, c.memberFolderWritable
                                                                  ? MemberSession::LoginOutcome::LoggedInElsewhere
                                                                  : MemberSession::LoginOutcome::LoggedIn);
                if (!c.memberFolderWritable) {
                    session.setCaption(1, "Changed");
                    EXPECT_THROW(session.saveCaptions(), platform::FileError);
                }
                EXPECT_EQ(platform::pathExists(MemberLock::lockFilePath(ann)),
                          c.loggedInBefore || c.memberFolderWritable);
            },
            {app.path()}, whyNot);
        if (!whyNot.empty()) {
            GTEST_SKIP() << whyNot;
        }
        EXPECT_TRUE(passed);
        EXPECT_EQ(fixture::readBytes(ann + "/" + MemberFolder::kCaptionsFile), captions);
#ifndef _WIN32
        ::chmod(app.path().c_str(), 0700);
        ::chmod(ann.c_str(), 0700);
#endif
    }
}

#ifndef _WIN32
// The application folder seen through a read-only bind mount, as a diary on a read-only disk.
class ReadOnlyView {
public:
    ReadOnlyView(const std::string& folder, const std::string& view) : m_view(view) {
        if (::mount(folder.c_str(), view.c_str(), nullptr, MS_BIND, nullptr) != 0) {
            whyNot = std::string("cannot bind a folder elsewhere: ") + std::strerror(errno);
            return;
        }
        if (::mount(nullptr, view.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
            whyNot = std::string("cannot make a bound folder read-only: ") + std::strerror(errno);
        }
    }
    ~ReadOnlyView() { ::umount2(m_view.c_str(), MNT_DETACH); }
    ReadOnlyView(const ReadOnlyView&) = delete;
    ReadOnlyView& operator=(const ReadOnlyView&) = delete;

    std::string whyNot;

private:
    std::string m_view;
};

TEST(MemberLock, AReadOnlyDiskOpensForReading) {
    for (const bool loggedInBefore : {false, true}) {
        SCOPED_TRACE(loggedInBefore ? "after the first login" : "before the first login");
        TempFolder app;
        TempFolder view;
        const std::string ann = fixture::makeMember(app.path(), "Ann", 110, "Ann");
        fixture::writePage(app.path(), "Ann", 1, 110, {"Bank PIN is 4711", ""});
        if (loggedInBefore) {
            MemberSession earlier(app.path());
            ASSERT_EQ(earlier.logIn("Ann", "Ann").outcome, MemberSession::LoginOutcome::LoggedIn);
        }
        const ReadOnlyView readOnly(app.path(), view.path());
        if (!readOnly.whyNot.empty()) {
            GTEST_SKIP() << readOnly.whyNot;
        }
        MemberSession session(view.path());
        ASSERT_EQ(session.logIn("Ann", "Ann").outcome, MemberSession::LoginOutcome::LoggedIn);
        ASSERT_TRUE(session.folderUnwritable().has_value());
        EXPECT_EQ(session.folderUnwritable()->reason(), std::strerror(EROFS));
        EXPECT_EQ(readMemberPage(session, 1, PageFile::Unreadable::Fail).display, "[1] \tBank PIN is 4711\r\n\r\n");
        MemberSession second(view.path());
        EXPECT_EQ(second.logIn("Ann", "Ann").outcome, MemberSession::LoginOutcome::LoggedIn);
        session.setCaption(1, "Changed");
        try {
            session.saveCaptions();
            ADD_FAILURE() << "captions saved on a read-only disk";
        } catch (const platform::FileError& e) {
            EXPECT_EQ(e.reason(), std::strerror(EROFS));
        }
    }
}
#endif

} // namespace
