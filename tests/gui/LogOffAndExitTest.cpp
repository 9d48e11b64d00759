#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

#include "login/LoginWindow.h"
#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Native.h"
#include "platform/core/Paths.h"
#include "platform/qt/Label.h"
#include "platform/qt/PageView.h"
#include "platform/qt/QtText.h"
#include "platform/qt/TextBox.h"
#include "support/gui/DiaryFixture.h"

namespace {

const char* const kAreYouSure = "Are you sure you want to log off?";

class LogOffAndExit : public DiaryFixture {
protected:
    void SetUp() override {
        makeMember("Ann", 110, "ann");
        makeMember("Bob", 125, "bob");
        for (int p : {1, 15}) {
            writePage("Ann", p, 110, {"Ann's page " + std::to_string(p), ""});
            writePage("Bob", p, 125, {"Bob's page " + std::to_string(p), ""});
        }
        fixture::writeBytes(captionsFile("Bob"), fixture::pageContent(125, {"Bob's first"}));
    }
    std::string captionsFile(const std::string& member) const {
        return fixture::memberFile(app.path(), member, MemberFolder::kCaptionsFile);
    }
};

TEST_F(LogOffAndExit, NextMembersOtherPagesAreNotReadOnTheWayToPageOne) {
    // Bob's last page cannot be shown; he never asked for it, so he hears nothing of it.
    fixture::writeBytes(fixture::pageFile(app.path(), "Bob", 15), "plain text\r\n");
    DiaryWindow& w = openDiary("Ann", "ann");
    ui.expectMsgBox(kAreYouSure, 52, "Jotterel", platform::vbYes);
    nextLogin([&](LoginWindow& login) { typeLogin(login, "Bob", "bob"); });
    w.logOffAction->trigger();
    EXPECT_TRUE(ui.done());
    EXPECT_EQ(w.currentPage(), 1);
    EXPECT_EQ(w.pageView->text(), "[1] \tBob's page 1\r\n\r\n");
}

TEST_F(LogOffAndExit, LogOffAnsweredNoChangesNothing) {
    DiaryWindow& w = openDiary("Ann", "ann");
    w.entryBox->setText("half typed");
    ui.expectMsgBox(kAreYouSure, 52, "Jotterel", platform::vbNo);
    w.logOffAction->trigger();
    EXPECT_EQ(loginWindowsOpened, 1);
    EXPECT_EQ(w.pageView->text(), "[1] \tAnn's page 1\r\n\r\n");
    EXPECT_EQ(w.entryBox->text(), "half typed");
    EXPECT_EQ(w.windowTitle(), "Jotterel of 'Ann'");
    EXPECT_EQ(module.currentMember(), "Ann");
    EXPECT_EQ(module.enteredPassword(), "ann");
}

TEST_F(LogOffAndExit, LogOffHandsThePageViewToTheNextMember) {
    struct Case {
        int pageShown;
        std::vector<int> pagesSelected; // after the login: page 1, or none when it is shown already
    };
    // Either way the next member's page 1 is read afresh, with its caption.
    for (const Case& c : {Case{15, {1}}, Case{1, {}}}) {
        SCOPED_TRACE(c.pageShown);
        DiaryWindow& w = openDiary("Ann", "ann");
        w.pageSelector->setCurrentIndex(c.pageShown - 1);
        w.entryBox->setText("left in the entry box");
        std::vector<int> selected;
        QObject::connect(w.pageSelector, &QComboBox::currentIndexChanged, [&](int i) { selected.push_back(i + 1); });

        ui.expectMsgBox(kAreYouSure, 52, "Jotterel", platform::vbYes);
        nextLogin([&](LoginWindow& login) {
            // While the login window is open the main window is empty and names nobody.
            EXPECT_EQ(w.pageView->text(), "");
            EXPECT_EQ(w.entryBox->text(), "");
            EXPECT_EQ(w.windowTitle(), "Jotterel");
            EXPECT_EQ(module.currentMember(), "");
            EXPECT_EQ(module.enteredPassword(), "");
            EXPECT_FALSE(module.loggedIn()); // another copy of the program may log Ann in now
            EXPECT_EQ(w.logOffAction->text(), "Log off 'Ann'");
            typeLogin(login, "Bob", "BOB");
        });
        w.logOffAction->trigger();

        EXPECT_EQ(selected, c.pagesSelected);
        EXPECT_EQ(w.currentPage(), 1);
        EXPECT_EQ(w.pageView->text(), "[1] \tBob's page 1\r\n\r\n");
        EXPECT_EQ(w.captionLabel->text(), "Bob's first");
        EXPECT_EQ(w.entryBox->text(), "");
        EXPECT_EQ(w.windowTitle(), "Jotterel of 'Bob'");
        EXPECT_EQ(w.logOffAction->text(), "Log off 'Bob'");
        EXPECT_EQ(w.deleteUserAction->text(), "Delete user 'Bob'");
        EXPECT_FALSE(w.ended());
        form.reset();
        module.logOff();
    }
}

TEST_F(LogOffAndExit, LoginWindowClosedAfterLogOffEndsTheProgram) {
    DiaryWindow& w = openDiary("Ann", "ann");
    ui.expectMsgBox(kAreYouSure, 52, "Jotterel", platform::vbYes);
    w.logOffAction->trigger(); // the login window is closed without a login
    EXPECT_TRUE(w.ended());
    EXPECT_EQ(loginWindowsOpened, 2);
    EXPECT_EQ(w.pageView->text(), "");
}

TEST_F(LogOffAndExit, CtrlLAsksToLogOff) {
    DiaryWindow& w = openDiary("Ann", "ann");
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    ui.expectMsgBox(kAreYouSure, 52, "Jotterel", platform::vbNo);
    QTest::keyClick(&w, Qt::Key_L, Qt::ControlModifier);
    EXPECT_TRUE(ui.done());
}

TEST_F(LogOffAndExit, ExitSavesEveryCaptionAndEndsTheProgram) {
    for (const char* how : {"button", "menu"}) {
        SCOPED_TRACE(how);
        fixture::writeBytes(captionsFile("Ann"), "");
        DiaryWindow& w = openDiary("Ann", "ann");
        w.show();
        if (std::string(how) == "button") {
            QTest::mouseClick(w.exitButton, Qt::LeftButton);
        } else {
            w.exitAction->trigger();
        }
        EXPECT_TRUE(w.ended());
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(fixture::readBytes(captionsFile("Ann")),
                  fixture::pageContent(110, std::vector<std::string>(15, "No caption set")));
        EXPECT_TRUE(fixture::isHidden(captionsFile("Ann")));
        form.reset();
        module.logOff();
    }
}

TEST_F(LogOffAndExit, CloseBoxWritesNothing) {
    DiaryWindow& w = openDiary("Ann", "ann");
    w.show();
    module.setCaption(2, "never stored");
    w.close();
    EXPECT_TRUE(w.ended());
    EXPECT_EQ(fixture::readBytes(captionsFile("Ann")), "");
}

TEST_F(LogOffAndExit, ExitWhenTheCaptionsCannotBeSavedSaysSoAndEnds) {
    DiaryWindow& w = openDiary("Ann", "ann");
    platform::deleteFile(captionsFile("Ann"));
    ui.expectMsgBox("The page captions cannot be saved. Jotterel closes without saving them.\r\r" +
                        module.captionsPath() + "\r" + platform::errorText(ENOENT),
                    48, "Jotterel");
    w.exitButton->click();
    EXPECT_TRUE(w.ended());
    EXPECT_FALSE(platform::pathExists(captionsFile("Ann")));
}

TEST_F(LogOffAndExit, CaptionsThatCannotBeReadAreNeitherEditedNorSavedOver) {
    // Something stands where the captions file should be that cannot be read as one.
    const std::string captions = captionsFile("Ann");
    platform::deleteFile(captions);
    platform::makeFolder(captions);
    DiaryWindow& w = openDiary("Ann", "ann");
    EXPECT_EQ(w.captionLabel->text(), "No caption set");
    const std::string reason = "It could not be read (" + platform::errorText(platform::native::folderError()) +
                               "), so Jotterel leaves it as it is rather than write over the captions it holds.";
    ui.expectMsgBox("The captions of your pages cannot be read, so no caption can be changed now.\r\r" + captions +
                        "\r" + platform::errorText(platform::native::folderError()),
                    48, "Jotterel");
    w.editCaption();
    ui.expectMsgBox("The page captions cannot be saved. Jotterel closes without saving them.\r\r" + captions + "\r" +
                        reason,
                    48, "Jotterel");
    w.exitButton->click();
    EXPECT_TRUE(ui.done());
    EXPECT_TRUE(w.ended());
    EXPECT_TRUE(std::filesystem::is_directory(captions));
}

} // namespace
