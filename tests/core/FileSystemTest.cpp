#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#endif

#include "platform/core/FileAttributes.h"
#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "support/core/MemberFixture.h"
#include "support/core/OrdinaryUser.h"
#include "support/core/TempFolder.h"

namespace {

std::vector<std::string> names(const std::vector<platform::FolderEntry>& entries) {
    std::vector<std::string> out;
    for (const auto& e : entries) {
        out.push_back(e.name + (e.isFolder ? "/" : ""));
    }
    return out;
}

// The hidden mark as the system itself keeps it: the file system's attribute on Windows, the
// extended attribute elsewhere ("0x2", gone when the file is normal again).
std::string systemHiddenMark(const std::string& path) {
#ifdef _WIN32
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) ? "0x2" : "";
#else
    char value[16] = {};
    return ::getxattr(path.c_str(), "user.DOSATTRIB", value, sizeof value) > 0 ? value : "";
#endif
}

TEST(FileSystem, HiddenAttributeIsTheSystemsOwnMark) {
    TempFolder dir;
    const std::string f = dir / "FILE";
    fixture::writeBytes(f, "x");
    EXPECT_EQ(platform::getAttr(f), platform::kAttrNormal);
    EXPECT_TRUE(platform::fileExists(f));

    platform::setAttr(f, platform::kAttrHidden);
    EXPECT_EQ(systemHiddenMark(f), "0x2");
    EXPECT_EQ(platform::getAttr(f), platform::kAttrHidden);
    EXPECT_FALSE(platform::fileExists(f));

    platform::setAttr(f, platform::kAttrNormal);
    EXPECT_EQ(systemHiddenMark(f), "");
    EXPECT_TRUE(platform::fileExists(f));

    fixture::writeBytes(dir / ".dotted", "x");
    EXPECT_EQ(platform::getAttr(dir / ".dotted"), platform::kAttrHidden);
    EXPECT_EQ(platform::getAttr(dir.path()), platform::kAttrDirectory);
    EXPECT_THROW(platform::getAttr(dir / "missing"), platform::FileError);
    EXPECT_THROW(platform::setAttr(dir / "missing", platform::kAttrHidden), platform::FileError);
    EXPECT_FALSE(platform::fileExists(dir.path()));
}

TEST(FileSystem, ListingSkipsHiddenAndSystemAndSortsByName) {
    TempFolder dir;
    for (const char* n : {"b.txt", "A.TXT", "c.doc", "noext", ".dot.txt", "hidden.txt", "system.txt"}) {
        fixture::writeBytes(dir / n, "x");
    }
    platform::setAttr(dir / "hidden.txt", platform::kAttrHidden);
    platform::setAttr(dir / "system.txt", platform::kAttrSystem);
    platform::makeFolder(dir / "Sub");
    platform::makeFolder(dir / "HiddenSub");
    platform::setAttr(dir / "HiddenSub", platform::kAttrHidden);
    fixture::writeBytes(dir / "\xC3\xA9t\xC3\xA9.txt", "x"); // UTF-8 "été" on disk

    EXPECT_EQ(names(platform::listFolder(dir.path(), "*.txt", false)),
              (std::vector<std::string>{"A.TXT", "b.txt", "\xC3\xA9t\xC3\xA9.txt"}));
    EXPECT_EQ(names(platform::listFolder(dir.path(), "*.*", true)),
              (std::vector<std::string>{"A.TXT", "b.txt", "c.doc", "noext", "Sub/", "\xC3\xA9t\xC3\xA9.txt"}));
    EXPECT_THROW(platform::listFolder(dir / "missing", "*.*", true), platform::FileError);
}

TEST(FileSystem, WildcardPatterns) {
    struct Case {
        const char* name;
        const char* pattern;
        bool matches;
    };
    const Case cases[] = {
        {"a.txt", "*.txt", true},      {"NOTES.TXT", "*.txt", true},
        {"a.txt.bak", "*.txt", false}, {"txt", "*.txt", false},
        {".txt", "*.txt", true},       {"noext", "*.*", true},
        {"page 3.txt", "*.txt", true}, {"ab", "a?", true},
        {"abc", "a?", false},          {"\xC3\xA9T\xC3\xA9.TXT", "\xC3\x89t\xC3\x89*", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::matchesPattern(c.name, c.pattern), c.matches) << c.name << " ~ " << c.pattern;
    }
}

TEST(FileSystem, LinesEndAtCrLf) {
    TempFolder dir;
    const std::string f = dir / "f";
    struct Case {
        const char* bytes;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {}}, {"a\r\n", {"a"}}, {"a\r\n\r\nb", {"a", "", "b"}}, {"\r\n", {""}}, {"a\nb\rc", {"a", "b", "c"}},
    };
    for (const Case& c : cases) {
        fixture::writeBytes(f, c.bytes);
        EXPECT_EQ(fixture::readLines(f), c.lines) << c.bytes;
    }
}

TEST(FileSystem, SafeRewriteKeepsTheOldFileOnFailure) {
    TempFolder dir;
    const std::string f = dir / "PAGE";
    fixture::writeBytes(f, "old content\r\n");
    platform::setAttr(f, platform::kAttrHidden);

    for (std::uint64_t budget : {0u, 1u, 5u, 12u}) {
        platform::setWriteBudget(budget);
        EXPECT_THROW(platform::writeFileSafely(f, "new, longer content\r\n", platform::kAttrHidden),
                     platform::FileError);
        platform::setWriteBudget(std::nullopt);
        EXPECT_EQ(fixture::readBytes(f), "old content\r\n");
        EXPECT_TRUE(fixture::isHidden(f));
    }
    // No temporary file is left behind.
    EXPECT_EQ(platform::listFolder(dir.path(), "*", true).size(), 0u);
    int leftovers = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
        leftovers += e.path().filename() != "PAGE";
    }
    EXPECT_EQ(leftovers, 0);

    platform::writeFileSafely(f, "new\r\n", platform::kAttrHidden);
    EXPECT_EQ(fixture::readBytes(f), "new\r\n");
    EXPECT_TRUE(fixture::isHidden(f));
}

TEST(FileSystem, SafeRewriteInAFolderThatTakesNoNewFileKeepsTheOldFile) {
    TempFolder dir;
    const std::string f = dir / "PAGE";
    fixture::writeBytes(f, "new\r\n");
    platform::setAttr(f, platform::kAttrHidden);
    // The superuser ignores the mode, so an ordinary user tries.
#ifndef _WIN32
    ::chmod(dir.path().c_str(), 0555);
#endif
    std::string whyNot;
    const bool passed = fixture::runAsOrdinaryUser(
        [&] {
            EXPECT_THROW(platform::writeFileSafely(f, "other\r\n", platform::kAttrHidden), platform::FileError);
            EXPECT_EQ(platform::readFileBytes(f), "new\r\n");
        },
        {dir.path()}, whyNot);
#ifndef _WIN32
    ::chmod(dir.path().c_str(), 0755);
#endif
    if (!whyNot.empty()) {
        GTEST_SKIP() << whyNot;
    }
    EXPECT_TRUE(passed);
}

TEST(FileSystem, FailedAppendIsCutBack) {
    TempFolder dir;
    const std::string f = dir / "PAGE";
    fixture::writeBytes(f, "line\r\n");
    platform::setWriteBudget(3);
    EXPECT_THROW(platform::appendToFile(f, "entry\r\n\r\n"), platform::FileError);
    platform::setWriteBudget(std::nullopt);
    EXPECT_EQ(fixture::readBytes(f), "line\r\n");
    platform::appendToFile(f, "entry\r\n\r\n");
    EXPECT_EQ(fixture::readBytes(f), "line\r\nentry\r\n\r\n");
}

TEST(FileSystem, Folders) {
    TempFolder dir;
    platform::makeFolder(dir / "M");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "M"));
    EXPECT_THROW(platform::makeFolder(dir / "M"), platform::FileError);
    fixture::writeBytes(dir / "M/f", "");
    EXPECT_THROW(platform::removeFolder(dir / "M"), platform::FileError);
    platform::deleteFile(dir / "M/f");
    platform::removeFolder(dir / "M");
    EXPECT_FALSE(platform::pathExists(dir / "M"));
}

} // namespace

namespace {

TEST(FileSystem, SizesReadAsAMemberReadsThem) {
    const std::pair<std::uint64_t, const char*> cases[] = {
        {0, "0 bytes"},           {1, "1 byte"},          {1023, "1023 bytes"},         {1024, "1 KB"},
        {300ull << 20, "300 MB"}, {1ull << 30, "1.0 GB"}, {(3ull << 30) / 2, "1.5 GB"}, {(10ull << 30) - 1, "9.9 GB"},
        {200ull << 30, "200 GB"},
    };
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(platform::sizeText(bytes), text) << bytes;
    }
}

// A file larger than its reader allows is refused by its size before any of it is read: sparse
// files of any size take no memory, and the reason says how large the file is.
TEST(FileSystem, FileLargerThanItMayBeIsRefusedBeforeItIsRead) {
    TempFolder folder;
    const std::string path = folder / "big";
    const std::pair<std::uint64_t, const char*> cases[] = {
        {1ull << 30, "the file is 1.0 GB, more than the 256 MB it may be"},
        {200ull << 30, "the file is 200 GB, more than the 256 MB it may be"},
    };
    for (const auto& [size, reason] : cases) {
        std::ofstream(path, std::ios::binary).close();
        std::error_code sparse;
        std::filesystem::resize_file(path, size, sparse);
        if (sparse) {
            GTEST_SKIP() << "the file system takes no file of " << size << " bytes";
        }
        std::string data;
        try {
            platform::readFileBytes(path, data, 256ull << 20);
            ADD_FAILURE() << "a file of " << size << " bytes was read";
        } catch (const platform::FileTooLarge& e) {
            EXPECT_EQ(e.path(), path);
            EXPECT_EQ(e.size(), size);
            EXPECT_EQ(e.reason(), reason);
        }
        EXPECT_LT(data.capacity(), 1u << 20) << "memory was taken for a file that is refused";
    }
    // Up to the limit a file is read whole.
    fixture::writeBytes(path, "0123456789");
    std::string data;
    platform::readFileBytes(path, data, 10);
    EXPECT_EQ(data, "0123456789");
    EXPECT_THROW(platform::readFileBytes(path, data, 9), platform::FileTooLarge);

    // A file read whole takes the room of its bytes, not twice it (a page of 100 MB held 200).
    const std::string page(3u << 20, 'x');
    fixture::writeBytes(path, page);
    data = std::string();
    platform::readFileBytes(path, data, 256ull << 20);
    EXPECT_EQ(data, page);
    EXPECT_LT(data.capacity(), page.size() + (1u << 20));
}

} // namespace
