#include <functional>
#include <gtest/gtest.h>
#include <map>

#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "store/ConversionLeftUnderWay.h"
#include "store/EntryMask.h"
#include "store/FoundEntries.h"
#include "store/MemberFileForm.h"
#include "store/MemberFileWriter.h"
#include "store/MemberFolder.h"
#include "store/MemberPages.h"
#include "store/MemberProtection.h"
#include "store/MemberSession.h"
#include "store/PageFile.h"
#include "store/ProtectedPasswordFile.h"
#include "store/StoredLines.h"
#include "support/core/MemberFixture.h"
#include "support/core/QuickKdf.h"
#include "support/core/TempFolder.h"

// The writes of a protected diary with a fault at each disk step they take: committing an entry,
// masking one, saving the captions and changing the password. Each run leaves the files byte for
// byte as before and says so, or does the whole change.
namespace {

constexpr int kKey = 119;
const std::string kPassword = "Protected for good";

class ProtectedWriteFault : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fixture::makeMember(app.path(), "Ida", kKey, "ida");
        fixture::writePage(app.path(), "Ida", 1, kKey,
                           {"First entry (01Dec26, 08:00AM)", "", "Second entry (02Dec26, 09:00AM)", ""});
        session.setKdfForNewDiaries(quickKdf());
        ASSERT_EQ(session.logIn("Ida", "ida").outcome, MemberSession::LoginOutcome::LoggedIn);
        protectMember(session, kPassword);
    }
    void TearDown() override { platform::setFaultAfterSteps(std::nullopt); }

    std::map<std::string, std::string> files() const {
        std::map<std::string, std::string> bytes;
        for (const std::string& name : MemberFolder::memberFileNames()) {
            bytes[name] = fixture::readBytes(platform::joinPath(folder, name)) +
                          (fixture::isHidden(platform::joinPath(folder, name)) ? "" : " <not hidden>");
        }
        return bytes;
    }
    std::string page1() const { return readMemberPage(session, 1, PageFile::Unreadable::Fail).display; }

    TempFolder app;
    std::string folder;
    MemberSession session{app.path()};
};

TEST_F(ProtectedWriteFault, EveryStepLeavesTheOldFilesOrTheWholeChange) {
    struct Writer {
        const char* name;
        std::function<void()> write;
        std::function<bool()> done; // the change is there, read back through the store
    };
    const std::vector<Writer> writers = {
        {"commit", [&] { appendMemberEntry(session, 1, "Third entry (03Dec26, 10:00AM)"); },
         [&] { return page1().find("[3] \tThird entry (03Dec26, 10:00AM)") != std::string::npos; }},
        {"mask",
         [&] {
             std::vector<std::string> lines = readPageLines(session, 1);
             maskLine(lines, 1, " (04Dec26, 11:00AM)");
             rewriteMemberFile(session.pageFilePath(1), pageContent(session, 1, lines));
         },
         [&] {
             const std::string page = page1();
             return page.find("First entry") == std::string::npos &&
                    page.find("(04Dec26, 11:00AM)") != std::string::npos;
         }},
        {"captions",
         [&] {
             session.setCaption(3, "Winter");
             session.saveCaptions();
         },
         [&] {
             session.loadCaptions();
             return session.caption(3) == "Winter";
         }},
        {"change password", [&] { changeProtectedPassword(session, "Another good one"); },
         [&] {
             MemberSession other(app.path());
             session.logOff();
             const bool changed =
                 other.logIn("Ida", "another good one").outcome == MemberSession::LoginOutcome::LoggedIn;
             other.logOff();
             EXPECT_EQ(session.logIn("Ida", changed ? "Another good one" : kPassword).outcome,
                       MemberSession::LoginOutcome::LoggedIn);
             return changed;
         }},
    };
    for (const Writer& w : writers) {
        SCOPED_TRACE(w.name);
        for (std::uint64_t steps = 0;; ++steps) {
            const auto before = files();
            platform::setFaultAfterSteps(steps);
            bool failed = false;
            try {
                w.write();
            } catch (const platform::FileError&) {
                failed = true;
            }
            const bool faultCame = !platform::stepsBeforeFault();
            platform::setFaultAfterSteps(std::nullopt);
            if (failed) {
                ASSERT_EQ(files(), before) << "fault after " << steps << " steps";
                continue;
            }
            ASSERT_TRUE(w.done()) << "fault after " << steps << " steps";
            if (!faultCame) {
                break; // every step was taken without a fault
            }
            // A fault after the file took its place changes nothing: the change stands. The
            // next run starts from it.
        }
    }
}

// A full disk that stops a conversion can keep it from putting back what it converted: the diary is
// then left under its mark, as a crash leaves it. The session goes on in the form each file is in,
// so that what the member commits meanwhile reads, and the next login finishes the work.
TEST_F(ProtectedWriteFault, AConversionAFullDiskLeavesHalfWayTakesEntriesInEachFilesForm) {
    const std::string page1Name = MemberFolder::pageFileName(1);
    std::vector<std::string> page1 = {"First entry (01Dec26, 08:00AM)", "Second entry (02Dec26, 09:00AM)"};
    std::vector<std::string> page2;
    auto display = [](const std::vector<std::string>& entries) {
        std::string text;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            text += "[" + std::to_string(i + 1) + "] \t" + entries[i] + "\r\n\r\n";
        }
        return text;
    };
    int round = 0;
    for (const bool protecting : {false, true}) {
        SCOPED_TRACE(protecting ? "protect" : "unprotect");
        ++round;
        // The disk fills once the password file, marked, and page 1 are written.
        const std::string data = fixture::readBytes(platform::joinPath(folder, page1Name));
        std::uint64_t room = 0;
        if (protecting) {
            const DiaryKeys keys = DiaryKeys::create(kKey, kPassword, quickKdf());
            const ProtectedFileContext context{keys, ConversionState::BeingProtected, ProtectedFileKind::Page,
                                               page1Name};
            room = ProtectedPasswordFile::content(keys, ConversionState::BeingProtected).size() +
                   protectedContent(classicLines(data, kKey), context).size();
        } else {
            room = ProtectedPasswordFile::content(*session.diaryKeys(), ConversionState::BeingUnprotected).size() +
                   classicContent(
                       protectedMemberLines(data, session.protectedContext(ProtectedFileKind::Page, page1Name)), kKey)
                       .size();
        }
        {
            const fixture::DiskFullAfter full(room);
            if (protecting) {
                EXPECT_THROW(protectMember(session, kPassword), ConversionLeftUnderWay);
            } else {
                EXPECT_THROW(unprotectMember(session), ConversionLeftUnderWay);
            }
        }
        ASSERT_TRUE(session.isProtected());
        EXPECT_EQ(session.conversionState(),
                  protecting ? ConversionState::BeingProtected : ConversionState::BeingUnprotected);
        EXPECT_EQ(memberFileForm(fixture::readBytes(platform::joinPath(folder, page1Name))),
                  protecting ? MemberFileForm::Protected : MemberFileForm::Classic);

        const std::string stamp = " (1" + std::to_string(round) + "Dec26, 10:00AM)";
        for (auto [page, entries] : {std::pair{1, &page1}, std::pair{2, &page2}}) {
            entries->push_back("Round " + std::to_string(round) + " on page " + std::to_string(page) + stamp);
            appendMemberEntry(session, page, entries->back());
        }
        EXPECT_EQ(findEntries(session, "round " + std::to_string(round)).size(), 2u);

        session.logOff();
        ASSERT_EQ(session.logIn("Ida", kPassword).outcome, MemberSession::LoginOutcome::LoggedIn);
        EXPECT_EQ(session.isProtected(), protecting);
        EXPECT_EQ(session.conversionState(), ConversionState::Protected);
        EXPECT_EQ(readMemberPage(session, 1, PageFile::Unreadable::Fail).display, display(page1));
        EXPECT_EQ(readMemberPage(session, 2, PageFile::Unreadable::Fail).display, display(page2));
    }
}

} // namespace
