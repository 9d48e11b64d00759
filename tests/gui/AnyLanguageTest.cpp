#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

#include "login/LoginWindow.h"
#include "platform/core/Clock.h"
#include "platform/core/Cp1252.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "platform/qt/Label.h"
#include "platform/qt/PageView.h"
#include "platform/qt/QtText.h"
#include "platform/qt/TextBox.h"
#include "search/FindCommand.h"
#include "search/FindResultsWindow.h"
#include "search/ResultLines.h"
#include "store/PasswordFile.h"
#include "support/gui/DiaryFixture.h"

// What a member types is what the diary gives back, in any language, through the windows.
namespace {

const std::string kAnna = "\xD0\x90\xD0\xBD\xD0\xBD\xD0\xB0";          // Анна
const std::string kAnnaOtherCase = "\xD0\xB0\xD0\x9D\xD0\x9D\xD0\x90"; // аННА
const std::string kEntry =
    "Gr\xC3\xBC\xC3\x9F"
    "e aus K\xC3\xB6ln, caf\xC3\xA9 \xC2\xA3"
    "5 \xE2\x80\x94 "
    "\xE6\x97\xA5\xE8\xA8\x98 \xE2\x98\x95 na\xC3\xAFve"; // Grüße aus Köln, café £5 — 日記 ☕ naïve
const std::string kStored = "Gr\xC3\xBC\xC3\x9F"
                            "e aus K\xC3\xB6ln; caf\xC3\xA9 \xC2\xA3"
                            "5 \xE2\x80\x94 "
                            "\xE6\x97\xA5\xE8\xA8\x98 \xE2\x98\x95 na\xC3\xAFve (07Dec26, 09:05PM)";

class AnyLanguage : public DiaryFixture {
protected:
    AnyLanguage() {
        platform::setClock([] { return platform::LocalTime{2026, 12, 7, 21, 5, 0}; });
    }
    ~AnyLanguage() override { platform::setClock(nullptr); }

    // Анна is added through the login window and logs in with her password in other letter case.
    DiaryWindow& addAnnaAndLogIn() {
        LoginWindow& login = openLoginWindow();
        ui.expectInputBox("Enter user name", "Add new user", "", kAnna);
        ui.expectMsgBox("Username = '" + kAnna + "'\rPassword = '" + kAnna +
                            "'     ( 4 chars)\r\rYou are advised to change your password as soon as you login.",
                        64, "Jotterel");
        login.addMemberButton->click();
        EXPECT_EQ(platform::kindOfPath(app / kAnna), platform::PathKind::Folder);
        module.logOff();
        makeWindow();
        nextLoginAs(kAnna, kAnnaOtherCase);
        form->load();
        EXPECT_EQ(module.currentMember(), kAnna);
        return *form;
    }
    std::string pageFile() const { return fixture::memberFile(app.path(), kAnna, MemberFolder::pageFileName(1)); }
};

TEST_F(AnyLanguage, CommitFindMaskAndExportKeepEveryCharacter) {
    DiaryWindow& w = addAnnaAndLogIn();
    w.entryBox->setText(kEntry);
    ui.expectMsgBox("Save the typed text to page 1?", 52, "Jotterel", platform::vbYes);
    w.commitButton->click();
    EXPECT_EQ(w.pageView->text(), "[1] \t" + kStored + "\r\n\r\n");
    // Stored in the member's key, every byte at or above it, the letters no key shifts as
    // references.
    const int key = PasswordFile::read(app / kAnna + "/QRBNSTJ4").key;
    const std::string bytes = fixture::readBytes(pageFile());
    std::string storable;
    for (char c : bytes.substr(0, bytes.size() - 4)) {
        ASSERT_GE(static_cast<unsigned char>(c), key);
        storable += static_cast<char>(static_cast<unsigned char>(c) - key);
    }
    EXPECT_NE(storable.find("&#26085;&#35352;"), std::string::npos) << "日記 as references";

    // Find in capitals, and Open selects the word as it stands on the page.
    ui.expectInputBox("Enter text to search for in your diary", "Jotterel", "", "K\xC3\x96LN");
    w.findAction->trigger();
    FindResultsWindow* results = w.findChild<FindCommand*>()->resultsWindow();
    ASSERT_NE(results, nullptr);
    ASSERT_EQ(results->lines().count(), 1);
    EXPECT_EQ(platform::fromQString(results->lines().line(0)), " 1     [1] " + kStored);
    results->openButton->click();
    EXPECT_EQ(w.pageView->selText(), "K\xC3\xB6ln");

    // Export this page: the file holds the text exactly, in the desktop's encoding.
    ui.expectMsgBox("Do you want to export this page as a text file?", 52, "Jotterel", platform::vbYes);
    ui.expectInputBox("Enter a name for the output file", "Jotterel", "Page 1.txt", "K\xC3\xB6ln.txt");
    ui.expectMsgBox("Page  1 printed to " + platform::joinPath(app / kAnna, "K\xC3\xB6ln.txt"), 64, "Jotterel");
    w.exportThisPageAction->trigger();
    EXPECT_EQ(
        fixture::readBytes(platform::joinPath(app / kAnna, "K\xC3\xB6ln.txt")),
        platform::textFileBytes("Page  1 of " + kAnna +
                                "'s diary\r\nPrinted on 7 Dec 2026  9:05 PM\r\n\r\nPage  1\r\n------------\r\n[1] \t" +
                                kStored + "\r\n\r\n\r\n"));

    // Masking marks each character the member sees once, however it is stored.
    ui.expectMsgBox("Caution: The deleted item will be rendered unreadable permanently. Do you want to continue?", 52,
                    "Jotterel", platform::vbYes);
    ui.expectInputBox("Specify the item number to be deleted on the current page", "Jotterel", "", "1");
    w.deleteAnItemAction->trigger();
    EXPECT_EQ(w.pageView->text(),
              "[1] \tXXXXX XXX XXXXX XXXX XX X XX X XXXXX XXXXXXXXX XXXXXXXX (07Dec26, 09:05PM)\r\n\r\n");
    EXPECT_TRUE(ui.done());
}

TEST_F(AnyLanguage, CaptionLimitCountsCharacters) {
    DiaryWindow& w = addAnnaAndLogIn();
    std::string accented32, accented33;
    for (int i = 0; i < 32; ++i) {
        accented32 += "\xC3\xA9";
    }
    accented33 = accented32 + "\xE6\x97\xA5";
    ui.expectInputBox("Enter a caption for this page (upto 32 characters long)", "Jotterel", "No caption set",
                      accented33);
    ui.expectMsgBox("Label too long", 0, "Jotterel");
    ui.expectInputBox("Enter a caption for this page (upto 32 characters long)", "Jotterel", "No caption set",
                      accented32);
    w.editCaption();
    EXPECT_TRUE(ui.done());
    EXPECT_EQ(platform::fromQString(w.captionLabel->text()), accented32);
    module.loadCaptions();
    EXPECT_EQ(module.caption(1), accented32);
}

TEST_F(AnyLanguage, LineBreaksKeepTheirFormThroughAnEdit) {
    // Answered No, the entry box keeps its text with each line feed made a space; an edit
    // after that must not add a space at each line break, however many rounds.
    makeMember("Ann", 110, "pw");
    DiaryWindow& w = openDiary("Ann", "pw");
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.entryBox->setFocus();
    QTest::keyClicks(w.entryBox, "one");
    QTest::keyClick(w.entryBox, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClicks(w.entryBox, "two");
    for (int round = 0; round < 3; ++round) {
        ui.expectMsgBox("Save the typed text to page 1?", 52, "Jotterel", platform::vbNo);
        w.commitButton->click();
        QTest::keyClick(w.entryBox, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(w.entryBox, "!");
    }
    EXPECT_EQ(w.entryBox->text(), "one\r two!!!");
    ui.expectMsgBox("Save the typed text to page 1?", 52, "Jotterel", platform::vbYes);
    w.commitButton->click();
    EXPECT_EQ(w.pageView->text(), "[1] \tone\r two!!! (07Dec26, 09:05PM)\r\n\r\n");
}

TEST_F(AnyLanguage, FilesOfAnyNameAreOfferedAndDeleted) {
    makeMember("Ann", 110, "pw");
    fixture::writeBytes(app / "Ann/\xE6\x97\xA5\xE8\xA8\x98.txt", "exported");
    fixture::writeBytes(app / "Ann/\xD0\xB7\xD0\xB0\xD0\xBC\xD0\xB5\xD1\x82\xD0\xBA\xD0\xB8", "notes");
    DiaryWindow& w = openDiary("Ann", "pw");
    ui.expectMsgBox("Are you sure you want to delete the text files exported from this diary?", 52, "Jotterel",
                    platform::vbYes);
    ui.expectMsgBox("Delete '\xE6\x97\xA5\xE8\xA8\x98.txt'?", 51, "Jotterel", platform::vbYes);
    w.deleteExportedPagesAction->trigger();
    EXPECT_FALSE(platform::pathExists(fixture::memberFile(app.path(), "Ann", "\xE6\x97\xA5\xE8\xA8\x98.txt")));

    ui.expectMsgBox("Are you sure you want to delete 'Ann' from this diary?", 52, "Jotterel", platform::vbYes);
    ui.expectMsgBox("Deleted information cannot be restored later. You will have to sign in as a new user. Do you "
                    "still want to proceed?",
                    52, "Jotterel", platform::vbYes);
    ui.expectMsgBox("Your user folder contains the following non-program files.\r\t\xD0\xB7\xD0\xB0\xD0\xBC\xD0\xB5"
                    "\xD1\x82\xD0\xBA\xD0\xB8\rThis operation cannot continue until these files are also deleted.\r"
                    "Do you want to delete these files now?",
                    52, "Jotterel", platform::vbYes);
    ui.expectMsgBox("User 'Ann' deleted.", 64, "Jotterel");
    w.deleteUserAction->trigger();
    EXPECT_TRUE(ui.done());
    EXPECT_FALSE(std::filesystem::exists(app / "Ann"));
}

} // namespace
