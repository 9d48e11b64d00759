#ifndef _WIN32

#include <cstring>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "platform/core/FileAttributes.h"
#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "store/MemberFileWriter.h"
#include "support/core/MemberFixture.h"
#include "support/core/TempFolder.h"

// Whoever can write to a member folder may put a link, a named pipe or a folder where a member
// file belongs. The program then refuses the file like any unreadable one: it never waits on a
// pipe, and never reads, writes, cuts or marks anything outside the folder because of a link.
namespace {

constexpr const char* kLinkReason = "It is a link to another place, which Jotterel never follows.";
constexpr const char* kSpecialReason = "It is not an ordinary file.";

struct Thing {
    const char* what;
    std::function<void(const std::string& at, const std::string& outside)> make;
    std::string reason;
    platform::PathKind kind;
};

const Thing kThings[] = {
    {"link to an outside file",
     [](const std::string& at, const std::string& outside) { std::filesystem::create_symlink(outside, at); },
     kLinkReason, platform::PathKind::Link},
    {"dangling link",
     [](const std::string& at, const std::string& outside) {
         std::filesystem::create_symlink(outside + ".missing", at);
     },
     kLinkReason, platform::PathKind::Link},
    {"named pipe", [](const std::string& at, const std::string&) { ASSERT_EQ(::mkfifo(at.c_str(), 0600), 0); },
     kSpecialReason, platform::PathKind::Other},
    {"folder", [](const std::string& at, const std::string&) { std::filesystem::create_directory(at); },
     std::strerror(EISDIR), platform::PathKind::Folder},
};

struct Use {
    const char* what;
    std::function<void(const std::string& path)> run;
    bool onFolder = true; // a folder may carry attributes, so SetAttr on one is no refusal
};

const Use kUses[] = {
    {"ReadFileBytes", [](const std::string& p) { platform::readFileBytes(p); }},
    {"WriteFileSafely", [](const std::string& p) { platform::writeFileSafely(p, "new\r\n", platform::kAttrHidden); }},
    {"AppendToFile", [](const std::string& p) { platform::appendToFile(p, "entry\r\n"); }},
    {"TruncateFile", [](const std::string& p) { platform::truncateFile(p, 0); }},
    {"CreateEmptyFile", [](const std::string& p) { platform::createEmptyFile(p); }},
    {"SetAttr", [](const std::string& p) { platform::setAttr(p, platform::kAttrNormal); }, false},
    {"RewriteMemberFile", [](const std::string& p) { rewriteMemberFile(p, "new\r\n"); }},
    {"AppendToMemberFile", [](const std::string& p) { appendToMemberFile(p, "entry\r\n"); }},
};

std::string storedAttribute(const std::string& path) {
    char value[16] = {};
    const ssize_t n = ::getxattr(path.c_str(), "user.DOSATTRIB", value, sizeof value);
    return n > 0 ? std::string(value, static_cast<std::size_t>(n)) : std::string();
}

unsigned modeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST(LinksAndSpecialFiles, EveryUseOfAMemberFileRefusesWhatIsNoOrdinaryFile) {
    // A pipe that were waited on would stop the test here, not at the time limit of the run.
    ::alarm(60);
    for (const Thing& thing : kThings) {
        for (const Use& use : kUses) {
            if (!use.onFolder && std::string(thing.what) == "folder") {
                continue;
            }
            TempFolder app;
            const std::string outside = app / "outside";
            fixture::writeBytes(outside, "not the diary's\r\n");
            ASSERT_EQ(::chmod(outside.c_str(), 0640), 0);
            platform::setAttr(outside, platform::kAttrHidden);
            std::filesystem::create_directory(app / "Ann");
            const std::string page = app / "Ann/FGZISKL4";
            thing.make(page, outside);

            try {
                use.run(page);
                ADD_FAILURE() << use.what << " on a " << thing.what << ": no error";
            } catch (const platform::FileError& e) {
                EXPECT_EQ(e.path(), page);
                EXPECT_EQ(e.reason(), thing.reason) << use.what << " on a " << thing.what;
            }
            EXPECT_EQ(fixture::readBytes(outside), "not the diary's\r\n") << use.what << " on a " << thing.what;
            EXPECT_EQ(modeOf(outside), 0640u) << use.what << " on a " << thing.what;
            EXPECT_EQ(storedAttribute(outside), "0x2") << use.what << " on a " << thing.what;
            EXPECT_FALSE(std::filesystem::exists(outside + ".missing")) << use.what << " on a " << thing.what;
            // What was there is still there, and nothing was added beside it.
            EXPECT_EQ(platform::kindOfPath(page), thing.kind) << use.what << " on a " << thing.what;
            std::size_t entries = 0;
            for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(app / "Ann")) {
                ++entries;
            }
            EXPECT_EQ(entries, 1u) << use.what << " on a " << thing.what;
        }
    }
    ::alarm(0);
}

TEST(LinksAndSpecialFiles, AttributesOfALinkAreItsOwnNeverItsTargets) {
    TempFolder dir;
    const std::string target = dir / "target";
    fixture::writeBytes(target, "x");
    platform::setAttr(target, platform::kAttrHidden);
    std::filesystem::create_symlink(target, dir / "link");
    EXPECT_EQ(platform::getAttr(dir / "link"), platform::kAttrNormal);
    try {
        platform::setAttr(dir / "link", platform::kAttrNormal);
        ADD_FAILURE() << "SetAttr on a link";
    } catch (const platform::FileError& e) {
        EXPECT_EQ(e.reason(), kLinkReason);
    }
    EXPECT_EQ(storedAttribute(target), "0x2");
    std::filesystem::create_symlink(dir / "missing", dir / "dangling");
    EXPECT_EQ(platform::getAttr(dir / "dangling"), platform::kAttrNormal);
    EXPECT_THROW(platform::setAttr(dir / "dangling", platform::kAttrHidden), platform::FileError);
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

TEST(LinksAndSpecialFiles, ALinkIsListedAsAFileAndDeletingItDeletesOnlyTheLink) {
    TempFolder app;
    const std::string outside = app / "outside";
    std::filesystem::create_directory(outside);
    fixture::writeBytes(outside + "/kept.txt", "kept");
    std::filesystem::create_directory(app / "Ann");
    std::filesystem::create_directory_symlink(outside, app / "Linked");
    std::filesystem::create_symlink(outside + "/kept.txt", app / "Ann/link.txt");
    std::filesystem::create_symlink(app / "missing.txt", app / "Ann/dangling.txt");
    ASSERT_EQ(::mkfifo((app / "Ann/pipe.txt").c_str(), 0600), 0);

    struct Case {
        std::string path;
        platform::PathKind kind;
        bool file, folder, exists;
    };
    const Case cases[] = {
        {app / "Linked", platform::PathKind::Link, false, false, true},
        {app / "Ann/link.txt", platform::PathKind::Link, false, false, true},
        {app / "Ann/dangling.txt", platform::PathKind::Link, false, false, true},
        {app / "Ann/pipe.txt", platform::PathKind::Other, false, false, true},
        {app / "Ann", platform::PathKind::Folder, false, true, true},
        {app / "Ann/none", platform::PathKind::Missing, false, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::kindOfPath(c.path), c.kind) << c.path;
        EXPECT_EQ(platform::fileExists(c.path), c.file) << c.path;
        EXPECT_EQ(c.kind == platform::PathKind::Folder, c.folder) << c.path;
        EXPECT_EQ(platform::pathExists(c.path), c.exists) << c.path;
    }

    // A link to a folder is never taken for a member folder.
    std::vector<std::string> members;
    for (const auto& e : platform::listFolder(app.path(), "*.*", true)) {
        members.push_back(e.name + (e.isFolder ? "/" : ""));
    }
    EXPECT_EQ(members, (std::vector<std::string>{"Ann/", "Linked", "outside/"}));
    std::vector<std::string> files;
    for (const auto& e : platform::listFolder(app / "Ann", "*.*", false)) {
        files.push_back(e.name);
    }
    EXPECT_EQ(files, (std::vector<std::string>{"dangling.txt", "link.txt"}));

    for (const std::string& name : files) {
        platform::deleteFile(app / "Ann/" + name);
    }
    platform::deleteFile(app / "Linked");
    EXPECT_EQ(fixture::readBytes(outside + "/kept.txt"), "kept");
    EXPECT_FALSE(platform::pathExists(app / "Linked"));
    EXPECT_TRUE(platform::pathExists(app / "Ann/pipe.txt"));
}

} // namespace

#else

#include <gtest/gtest.h>

TEST(LinksAndSpecialFiles, EveryUseOfAMemberFileRefusesWhatIsNoOrdinaryFile) {
    GTEST_SKIP() << "Not on Windows: it plants symbolic links and named pipes in member folders, which a Windows "
                    "account without the right to make links cannot, and Wine shows as the files they point to.";
}

TEST(LinksAndSpecialFiles, AttributesOfALinkAreItsOwnNeverItsTargets) {
    GTEST_SKIP() << "Not on Windows: it plants symbolic links and named pipes in member folders, which a Windows "
                    "account without the right to make links cannot, and Wine shows as the files they point to.";
}

TEST(LinksAndSpecialFiles, ALinkIsListedAsAFileAndDeletingItDeletesOnlyTheLink) {
    GTEST_SKIP() << "Not on Windows: it plants symbolic links and named pipes in member folders, which a Windows "
                    "account without the right to make links cannot, and Wine shows as the files they point to.";
}

#endif
