#ifndef _WIN32

#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>

#include "platform/core/FileAttributes.h"
#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "store/MemberFileWriter.h"
#include "support/core/MemberFixture.h"
#include "support/core/OrdinaryUser.h"
#include "support/core/TempFolder.h"

// A member folder and the files in it are readable by their owner only, whatever umask the
// program was started with (even one that would take the owner's own rights away); a file that
// is rewritten keeps the permissions it had.
namespace {

unsigned modeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

class Umask {
public:
    explicit Umask(mode_t mask) : m_old(::umask(mask)) {}
    ~Umask() { ::umask(m_old); }

private:
    mode_t m_old;
};

TEST(PrivateFiles, EveryWriterLeavesFoldersAndFilesToTheirOwnerWhateverTheUmask) {
    for (const mode_t mask : {mode_t{022}, mode_t{0}, mode_t{0277}}) {
        const Umask umask(mask);
        TempFolder app;
        const unsigned appMode = modeOf(app.path());
        const std::string member = app / "Ann";
        platform::makeFolder(member);
        EXPECT_EQ(modeOf(member), 0700u) << "umask " << mask;

        const std::string written = member + "/QRBNSTJ4";
        const std::string empty = member + "/FGZISKL4";
        const std::string appended = member + "/OTBKJI3W";
        const std::string exported = member + "/Page 1.txt";
        platform::writeFileSafely(written, "password\r\n", platform::kAttrHidden);
        platform::createEmptyFile(empty);
        platform::appendToFile(appended, "entry\r\n");
        platform::writeFileSafely(exported, "Page  1\r\n", platform::kAttrNormal);
        for (const std::string& file : {written, empty, appended, exported}) {
            EXPECT_EQ(modeOf(file), 0600u) << file << ", umask " << mask;
        }
        // Rewrites keep those modes, and keep a mode the owner chose.
        rewriteMemberFile(written, "other\r\n");
        appendToMemberFile(appended, "more\r\n");
        EXPECT_EQ(modeOf(written), 0600u);
        EXPECT_EQ(modeOf(appended), 0600u);
        ASSERT_EQ(::chmod(exported.c_str(), 0640), 0);
        platform::writeFileSafely(exported, "Page  2\r\n", platform::kAttrNormal);
        EXPECT_EQ(modeOf(exported), 0640u);
        EXPECT_EQ(fixture::readBytes(exported), "Page  2\r\n");
        // The folder that holds the member folders is left as it was.
        EXPECT_EQ(modeOf(app.path()), appMode);
    }
}

TEST(PrivateFiles, AnotherAccountCannotReadAMemberFileNorRewriteInAReadOnlyFolder) {
    TempFolder app;
    const std::string member = app / "Ann";
    platform::makeFolder(member);
    const std::string page = member + "/FGZISKL4";
    platform::writeFileSafely(page, "secret\r\n", platform::kAttrHidden);
    // Only the file's own mode stands between the other account and the page.
    ASSERT_EQ(::chmod(member.c_str(), 0755), 0);
    ASSERT_EQ(::chmod(app.path().c_str(), 0755), 0);

    TempFolder mine;
    const std::string readOnly = mine / "Bob";
    platform::makeFolder(readOnly);
    const std::string own = readOnly + "/FGZISKL4";
    platform::writeFileSafely(own, "old\r\n", platform::kAttrHidden);
    ASSERT_EQ(::chmod(readOnly.c_str(), 0500), 0);

    std::string whyNot;
    const bool passed = fixture::runAsOrdinaryUser(
        [&] {
            EXPECT_THROW(platform::readFileBytes(page), platform::FileError);
            EXPECT_THROW(platform::appendToFile(page, "mine\r\n"), platform::FileError);
            // A rewrite needs a new file beside the old one; the old one stays as it was.
            EXPECT_THROW(platform::writeFileSafely(own, "new\r\n", platform::kAttrHidden), platform::FileError);
            EXPECT_THROW(rewriteMemberFile(own, "new\r\n"), platform::FileError);
            EXPECT_EQ(platform::readFileBytes(own), "old\r\n");
        },
        {mine.path()}, whyNot);
    if (!whyNot.empty()) {
        GTEST_SKIP() << whyNot;
    }
    EXPECT_TRUE(passed);
    EXPECT_EQ(fixture::readBytes(page), "secret\r\n");
}

} // namespace

#else

#include <gtest/gtest.h>

TEST(PrivateFiles, EveryWriterLeavesFoldersAndFilesToTheirOwnerWhateverTheUmask) {
    GTEST_SKIP() << "Not on Windows: it checks the owner-only modes under every umask and reads as another account; "
                    "Windows keeps rights in access lists the program leaves as the folder gives them.";
}

TEST(PrivateFiles, AnotherAccountCannotReadAMemberFileNorRewriteInAReadOnlyFolder) {
    GTEST_SKIP() << "Not on Windows: it checks the owner-only modes under every umask and reads as another account; "
                    "Windows keeps rights in access lists the program leaves as the folder gives them.";
}

#endif
