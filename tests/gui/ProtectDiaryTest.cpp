#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>

#include "login/LoginWindow.h"
#include "platform/core/Clock.h"
#include "platform/core/Cp1252.h"
#include "platform/core/DateFormat.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "platform/qt/Label.h"
#include "platform/qt/PageView.h"
#include "platform/qt/QtText.h"
#include "platform/qt/TextBox.h"
#include "search/FindCommand.h"
#include "search/FindResultsWindow.h"
#include "search/ResultLines.h"
#include "store/CaptionsFile.h"
#include "store/Cipher.h"
#include "store/MemberFileForm.h"
#include "store/MemberFolder.h"
#include "store/PasswordFile.h"
#include "store/TextCodec.h"
#include "support/core/QuickKdf.h"
#include "support/gui/DiaryFixture.h"

// Protecting a diary through the windows, every command on the protected diary, and
// unprotecting it again.
namespace {

constexpr int kKey = 113;
const std::string kClassicPassword = "vera pw";
const std::string kPassword = "Winter Garden 9";

constexpr const char* kProtectQuestion =
    "Protect your diary with a password?\r\r"
    "Your pages, captions and password will be enciphered with a new password that you choose now. "
    "Nobody can recover a forgotten password: without it, nobody can open your diary, you included.\r\r"
    "Older copies of Jotterel cannot open a protected diary until it is unprotected. "
    "Pages you export stay plain text.";
constexpr const char* kChoose = "Choose the password that protects your diary (at least 8 characters):";
constexpr const char* kAgain = "Type the same password again:";
constexpr const char* kProtected =
    "Your diary is protected. From now on you log in with the password you have just chosen.";
constexpr const char* kUnprotectQuestion =
    "Unprotect your diary?\r\r"
    "Its pages, captions and password will again be readable by anyone who can read the files of Jotterel on this "
    "computer.";
constexpr const char* kUnprotected = "Your diary is no longer protected. You log in with the same password as before.";
constexpr const char* kIncorrect = "Incorrect password. Please try again.";

const std::vector<std::string> kPage1 = {"Planted the tulips by the gate (06Dec26, 08:00AM)", "",
                                         "Kaffee in Köln, 3 € (07Dec26, 10:00AM)", ""};

class ProtectDiary : public DiaryFixture {
protected:
    void SetUp() override {
        const char* months[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        for (int i = 0; i < 12; ++i) {
            m_english.months[i] = months[i];
        }
        m_english.am = "AM";
        m_english.pm = "PM";
        platform::setLocaleNames(&m_english);
        platform::setClock([] { return platform::LocalTime{2026, 12, 7, 21, 5, 0}; });
        module.setKdfForNewDiaries(quickKdf());
        folder = makeMember("Vera", kKey, kClassicPassword);
        writePage("Vera", 1, kKey, kPage1);
        writePage("Vera", 2, kKey, {"Only entry of page two (01Dec26, 09:00AM)", ""});
        std::string captions;
        for (int p = 1; p <= MemberFolder::kPageCount; ++p) {
            captions += Cipher::encryptWithKey(p == 1 ? "Garden" : CaptionsFile::kNoCaption, kKey) + "\r\n";
        }
        fixture::writeBytes(file(MemberFolder::kCaptionsFile), captions);
        openDiary("Vera", kClassicPassword);
    }
    void TearDown() override {
        platform::setClock(nullptr);
        platform::setLocaleNames(nullptr);
    }

    std::string file(const std::string& name) const { return platform::joinPath(folder, name); }
    std::map<std::string, std::string> files() const {
        std::map<std::string, std::string> bytes;
        for (const std::string& name : MemberFolder::memberFileNames()) {
            bytes[name] = fixture::readBytes(file(name));
        }
        return bytes;
    }

    void protect(const std::string& password) {
        ui.expectMsgBox(kProtectQuestion, 52, "Jotterel", platform::vbYes);
        ui.expectMaskedInputBox(kChoose, "Jotterel", password);
        ui.expectMaskedInputBox(kAgain, "Jotterel", password);
        ui.expectMsgBox(kProtected, 64, "Jotterel");
        form->protectAction->trigger();
        ASSERT_TRUE(ui.done());
    }
    void logOffAndIn(const std::vector<std::string>& passwords) {
        ui.expectMsgBox("Are you sure you want to log off?", 52, "Jotterel", platform::vbYes);
        for (std::size_t i = 0; i + 1 < passwords.size(); ++i) {
            ui.expectMsgBox(kIncorrect, 0, "Jotterel");
        }
        nextLogin([passwords](LoginWindow& login) {
            for (const std::string& password : passwords) {
                typeLogin(login, "Vera", password);
            }
        });
        form->logOffAction->trigger();
        ASSERT_TRUE(ui.done());
    }

    std::string folder;

private:
    platform::LocaleNames m_english;
};

TEST_F(ProtectDiary, UnprotectGivesBackTheBytesTheDiaryWasProtectedFrom) {
    const auto before = files();
    EXPECT_TRUE(form->protectAction->isVisible());
    EXPECT_FALSE(form->unprotectAction->isVisible());
    protect(kPassword);
    EXPECT_FALSE(form->protectAction->isVisible());
    EXPECT_TRUE(form->unprotectAction->isVisible());
    for (const auto& [name, bytes] : files()) {
        EXPECT_EQ(memberFileForm(bytes), before.at(name).empty() ? MemberFileForm::Empty : MemberFileForm::Protected)
            << name;
        EXPECT_TRUE(fixture::isHidden(file(name))) << name;
    }
    // The classic password is refused; the new one logs in whatever its letter case.
    logOffAndIn({kClassicPassword, "wINTER gARDEN 9"});
    EXPECT_TRUE(module.isProtected());
    EXPECT_TRUE(form->unprotectAction->isVisible());
    EXPECT_EQ(form->pageView->text(), "[1] \tPlanted the tulips by the gate (06Dec26, 08:00AM)\r\n\r\n"
                                      "[2] \tKaffee in Köln, 3 € (07Dec26, 10:00AM)\r\n\r\n");
    EXPECT_EQ(platform::fromQString(form->captionLabel->text()), "Garden");

    ui.expectMsgBox(kUnprotectQuestion, 52, "Jotterel", platform::vbYes);
    ui.expectMsgBox(kUnprotected, 64, "Jotterel");
    form->unprotectAction->trigger();
    ASSERT_TRUE(ui.done());
    EXPECT_FALSE(module.isProtected());
    EXPECT_TRUE(form->protectAction->isVisible());
    auto after = files();
    EXPECT_EQ(after[MemberFolder::kPasswordFile], PasswordFile::content(kKey, kPassword));
    after[MemberFolder::kPasswordFile] = before.at(MemberFolder::kPasswordFile);
    EXPECT_EQ(after, before);
    logOffAndIn({"winter garden 9"});
    EXPECT_FALSE(module.isProtected());
}

TEST_F(ProtectDiary, AShortOrDifferentPasswordOrANoChangesNothing) {
    const auto before = files();
    ui.expectMsgBox(kProtectQuestion, 52, "Jotterel", platform::vbNo);
    form->protectAction->trigger();
    ui.expectMsgBox(kProtectQuestion, 52, "Jotterel", platform::vbYes);
    ui.expectMaskedInputBox(kChoose, "Jotterel", "");
    form->protectAction->trigger();
    ui.expectMsgBox(kProtectQuestion, 52, "Jotterel", platform::vbYes);
    ui.expectMaskedInputBox(kChoose, "Jotterel", "Sieben7"); // seven characters
    ui.expectMsgBox("The password must have at least 8 characters. Your diary has not been protected.", 48, "Jotterel");
    form->protectAction->trigger();
    ui.expectMsgBox(kProtectQuestion, 52, "Jotterel", platform::vbYes);
    ui.expectMaskedInputBox(kChoose, "Jotterel", kPassword);
    ui.expectMaskedInputBox(kAgain, "Jotterel", "Winter garden 9");
    ui.expectMsgBox("The two passwords are not the same. Your diary has not been protected.", 48, "Jotterel");
    form->protectAction->trigger();
    ui.expectMsgBox(kProtectQuestion, 52, "Jotterel", platform::vbYes);
    ui.expectMaskedInputBox(kChoose, "Jotterel", kPassword);
    ui.expectMaskedInputBox(kAgain, "Jotterel", "");
    form->protectAction->trigger();
    EXPECT_TRUE(ui.done());
    EXPECT_EQ(files(), before);
    EXPECT_FALSE(module.isProtected());
    // Eight characters of any language are enough.
    protect("Ölbäume8");
    EXPECT_TRUE(module.isProtected());
}

TEST_F(ProtectDiary, EveryCommandWorksOnAProtectedDiary) {
    protect(kPassword);
    logOffAndIn({kPassword});

    // Commit an entry.
    form->entryBox->setText("Snow on the tulips");
    ui.expectMsgBox("Save the typed text to page 1?", 52, "Jotterel", platform::vbYes);
    form->commitButton->click();
    ASSERT_TRUE(ui.done());
    const std::string threeEntries = "[1] \tPlanted the tulips by the gate (06Dec26, 08:00AM)\r\n\r\n"
                                     "[2] \tKaffee in Köln, 3 € (07Dec26, 10:00AM)\r\n\r\n"
                                     "[3] \tSnow on the tulips (07Dec26, 09:05PM)\r\n\r\n";
    EXPECT_EQ(form->pageView->text(), threeEntries);
    EXPECT_EQ(fixture::readBytes(pageFile("Vera", 1)).find("tulips"), std::string::npos);

    // Find opens every record and compares folded text.
    ui.expectInputBox("Enter text to search for in your diary", "Jotterel", "", "TULIPS");
    form->findAction->trigger();
    ASSERT_TRUE(ui.done());
    FindResultsWindow* results = form->findChild<FindCommand*>()->resultsWindow();
    ASSERT_NE(results, nullptr);
    std::vector<std::string> listed;
    for (int i = 0; i < results->lines().count(); ++i) {
        listed.push_back(platform::fromQString(results->lines().line(i)));
    }
    EXPECT_EQ(listed, (std::vector<std::string>{" 1     [1] Planted the tulips by the gate (06Dec26, 08:00AM)",
                                                " 1     [3] Snow on the tulips (07Dec26, 09:05PM)"}));
    results->close();

    // Export this page: plain text, as the member reads it.
    const std::string exported = file("Page 1.txt");
    ui.expectMsgBox("Do you want to export this page as a text file?", 52, "Jotterel", platform::vbYes);
    ui.expectInputBox("Enter a name for the output file", "Jotterel", "Page 1.txt", "Page 1.txt");
    ui.expectMsgBox("Page  1 printed to " + exported, 64, "Jotterel");
    form->exportThisPageAction->trigger();
    ASSERT_TRUE(ui.done());
    EXPECT_NE(fixture::readBytes(exported).find(platform::textFileBytes(threeEntries)), std::string::npos);

    // A caption.
    ui.expectInputBox("Enter a caption for this page (upto 32 characters long)", "Jotterel", "Garden", "Gärten");
    form->editCaption();
    ASSERT_TRUE(ui.done());
    EXPECT_EQ(module.caption(1), "Gärten");
    EXPECT_EQ(memberFileForm(fixture::readBytes(file(MemberFolder::kCaptionsFile))), MemberFileForm::Protected);

    // Mask the second entry.
    ui.expectMsgBox("Caution: The deleted item will be rendered unreadable permanently. Do you want to continue?", 52,
                    "Jotterel", platform::vbYes);
    ui.expectInputBox("Specify the item number to be deleted on the current page", "Jotterel", "", "2");
    form->deleteAnItemAction->trigger();
    ASSERT_TRUE(ui.done());
    EXPECT_EQ(form->pageView->text(), "[1] \tPlanted the tulips by the gate (06Dec26, 08:00AM)\r\n\r\n"
                                      "[2] \tXXXXXX XX XXXXX X X XXXXXXXXX XXXXXXXX (07Dec26, 09:05PM)\r\n\r\n"
                                      "[3] \tSnow on the tulips (07Dec26, 09:05PM)\r\n\r\n");

    // Change the password: twice, masked; only the password file changes.
    const auto beforeChange = files();
    ui.expectMaskedInputBox("Please enter new password for user 'Vera'", "Jotterel", "Spring Meadow");
    ui.expectMaskedInputBox(kAgain, "Jotterel", "Spring Meadow");
    ui.expectMsgBox("Would you like to save your new password?", 4, "Jotterel", platform::vbYes);
    form->changePasswordAction->trigger();
    ASSERT_TRUE(ui.done());
    auto afterChange = files();
    EXPECT_NE(afterChange[MemberFolder::kPasswordFile], beforeChange.at(MemberFolder::kPasswordFile));
    afterChange[MemberFolder::kPasswordFile] = beforeChange.at(MemberFolder::kPasswordFile);
    EXPECT_EQ(afterChange, beforeChange);
    logOffAndIn({kPassword, "SPRING MEADOW"});
    EXPECT_EQ(module.caption(1), "Gärten");

    // Clear page 2, then delete the exported page.
    form->pageSelector->setCurrentIndex(1);
    ui.expectMsgBox("Are you sure you want to clear this page from your diary?", 52, "Jotterel", platform::vbYes);
    ui.expectMsgBox("Deleted information cannot be restored later. Do you still want to proceed?", 52, "Jotterel",
                    platform::vbYes);
    form->deleteThisPageAction->trigger();
    ASSERT_TRUE(ui.done());
    EXPECT_EQ(fixture::readBytes(pageFile("Vera", 2)), "");
    EXPECT_EQ(form->pageView->text(), "");
    ui.expectMsgBox("Are you sure you want to delete the text files exported from this diary?", 52, "Jotterel",
                    platform::vbYes);
    ui.expectMsgBox("Delete 'Page 1.txt'?", 51, "Jotterel", platform::vbYes);
    form->deleteExportedPagesAction->trigger();
    ASSERT_TRUE(ui.done());
    EXPECT_FALSE(std::filesystem::exists(exported));
    // A cleared page takes new entries in the protected form.
    form->entryBox->setText("After the clearing");
    ui.expectMsgBox("Save the typed text to page 2?", 52, "Jotterel", platform::vbYes);
    form->commitButton->click();
    ASSERT_TRUE(ui.done());
    EXPECT_EQ(form->pageView->text(), "[1] \tAfter the clearing (07Dec26, 09:05PM)\r\n\r\n");
    EXPECT_EQ(memberFileForm(fixture::readBytes(pageFile("Vera", 2))), MemberFileForm::Protected);
}

// Find keeps the pages it opened for the session; each write drops the page it writes, and the
// next Find lists what the page holds now.
TEST_F(ProtectDiary, FindListsWhatThePagesHoldAfterACommitAMaskingAndAClearing) {
    protect(kPassword);
    auto findStamps = [&](const std::vector<std::string>& expected) {
        // Some time after the pages were written, as a member searches: Find keeps them.
        fixture::writtenAnHourAgo(folder);
        ui.expectInputBox("Enter text to search for in your diary", "Jotterel", module.searchText(), "dec26");
        if (expected.empty()) {
            ui.expectMsgBox("Text not found.", 48, "Jotterel");
            ui.expectInputBox("Enter text to search for in your diary", "Jotterel", "dec26", "");
        }
        form->findAction->trigger();
        EXPECT_TRUE(ui.done());
        std::vector<std::string> listed;
        if (FindResultsWindow* results = form->findChild<FindCommand*>()->resultsWindow()) {
            for (int i = 0; i < results->lines().count(); ++i) {
                listed.push_back(platform::fromQString(results->lines().line(i)));
            }
            results->close();
        }
        EXPECT_EQ(listed, expected);
        EXPECT_EQ(module.openedPages().pagesKept(), 15u);
    };
    const std::string planted = " 1     [1] Planted the tulips by the gate (06Dec26, 08:00AM)";
    const std::string pageTwo = " 2     [1] Only entry of page two (01Dec26, 09:00AM)";
    const std::string snow = " 1     [3] Snow on the tulips (07Dec26, 09:05PM)";
    findStamps({planted, " 1     [2] Kaffee in Köln, 3 € (07Dec26, 10:00AM)", pageTwo});

    const struct {
        const char* name;
        std::function<void()> write;
        std::size_t pagesWritten;
        std::vector<std::string> found;
    } steps[] = {
        {"commit",
         [&] {
             form->entryBox->setText("Snow on the tulips");
             ui.expectMsgBox("Save the typed text to page 1?", 52, "Jotterel", platform::vbYes);
             form->commitButton->click();
         },
         1,
         {planted, " 1     [2] Kaffee in Köln, 3 € (07Dec26, 10:00AM)", snow, pageTwo}},
        {"mask",
         [&] {
             ui.expectMsgBox(
                 "Caution: The deleted item will be rendered unreadable permanently. Do you want to continue?", 52,
                 "Jotterel", platform::vbYes);
             ui.expectInputBox("Specify the item number to be deleted on the current page", "Jotterel", "", "2");
             form->deleteAnItemAction->trigger();
         },
         1,
         {planted, " 1     [2] XXXXXX XX XXXXX X X XXXXXXXXX XXXXXXXX (07Dec26, 09:05PM)", snow, pageTwo}},
        {"clear this page",
         [&] {
             ui.expectMsgBox("Are you sure you want to clear this page from your diary?", 52, "Jotterel",
                             platform::vbYes);
             ui.expectMsgBox("Deleted information cannot be restored later. Do you still want to proceed?", 52,
                             "Jotterel", platform::vbYes);
             form->deleteThisPageAction->trigger();
         },
         1,
         {pageTwo}},
        {"clear all pages",
         [&] {
             ui.expectMsgBox("Are you sure you want to clear ALL pages from your diary?", 52, "Jotterel",
                             platform::vbYes);
             ui.expectMsgBox("Deleted information cannot be restored later. Do you still want to proceed?", 52,
                             "Jotterel", platform::vbYes);
             form->deleteAllPagesAction->trigger();
         },
         15,
         {}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        step.write();
        ASSERT_TRUE(ui.done());
        // The page goes from what Find keeps as it is written, whatever its file looks like after.
        EXPECT_EQ(module.openedPages().pagesKept(), 15u - step.pagesWritten);
        findStamps(step.found);
    }
}

TEST_F(ProtectDiary, ADamagedRecordIsShownExportedAndPassedOverInItsPlace) {
    protect(kPassword);
    std::vector<std::string> lines = fixture::readLines(pageFile("Vera", 1));
    lines[1][25] = static_cast<char>(lines[1][25] ^ 0x02); // the first entry's record
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line + "\r\n";
    }
    fixture::writeBytes(pageFile("Vera", 1), bytes);
    form->showPageAfresh(1);
    EXPECT_EQ(form->pageView->text(), "[1] \t(line 1 of the page file cannot be read)\r\n\r\n"
                                      "[2] \tKaffee in Köln, 3 € (07Dec26, 10:00AM)\r\n\r\n");
    ui.expectInputBox("Enter text to search for in your diary", "Jotterel", "", "tulips");
    ui.expectMsgBox("Text not found.", 48, "Jotterel");
    ui.expectInputBox("Enter text to search for in your diary", "Jotterel", "tulips", "");
    form->findAction->trigger();
    EXPECT_TRUE(ui.done());
    const std::string exported = file("Page 1.txt");
    ui.expectMsgBox("Do you want to export this page as a text file?", 52, "Jotterel", platform::vbYes);
    ui.expectInputBox("Enter a name for the output file", "Jotterel", "Page 1.txt", "Page 1.txt");
    ui.expectMsgBox("Page  1 printed to " + exported +
                        "\r\rThe page could not be read whole: the file says where a line is missing.",
                    48, "Jotterel");
    form->exportThisPageAction->trigger();
    ASSERT_TRUE(ui.done());
    EXPECT_NE(fixture::readBytes(exported).find("[1] \t(line 1 of the page file cannot be read)\r\n\r\n[2] \tKaffee"),
              std::string::npos);
    // The damaged page is not written over.
    EXPECT_EQ(fixture::readBytes(pageFile("Vera", 1)), bytes);
}

TEST_F(ProtectDiary, DeleteUserTakesTheProtectedDiaryAndItsKeys) {
    protect(kPassword);
    makeMember("Bob", 120, "bob");
    ui.expectMsgBox("Are you sure you want to delete 'Vera' from this diary?", 52, "Jotterel", platform::vbYes);
    ui.expectMsgBox("Deleted information cannot be restored later. You will have to sign in as a new user. Do you "
                    "still want to proceed?",
                    52, "Jotterel", platform::vbYes);
    ui.expectMsgBox("User 'Vera' deleted.", 64, "Jotterel").whileShown = [&] {
        EXPECT_FALSE(module.isProtected());
        EXPECT_EQ(module.diaryKeys(), nullptr);
    };
    nextLoginAs("Bob", "bob");
    form->deleteUserAction->trigger();
    ASSERT_TRUE(ui.done());
    EXPECT_FALSE(std::filesystem::exists(folder));
    EXPECT_EQ(module.currentMember(), "Bob");
    EXPECT_FALSE(module.isProtected());
    EXPECT_TRUE(form->protectAction->isVisible());
}

} // namespace
