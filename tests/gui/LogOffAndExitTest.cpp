#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "login/Form2.h"
#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "platform/qt/Ansi.h"
#include "platform/qt/Label.h"
#include "platform/qt/TextBox.h"
#include "support/gui/DiaryFixture.h"

namespace {

const char* const kAreYouSure = "Are you sure you want to log off?";

class LogOffAndExit : public DiaryFixture {
protected:
    void SetUp() override {
        MakeMember("Ann", 110, "ann");
        MakeMember("Bob", 125, "bob");
        for (int p : {1, 15}) {
            WritePage("Ann", p, 110, {"Ann's page " + std::to_string(p), ""});
            WritePage("Bob", p, 125, {"Bob's page " + std::to_string(p), ""});
        }
        fixture::WriteBytes(captionsFile("Bob"), fixture::PageContent(125, {"Bob's first"}));
    }
    std::string captionsFile(const std::string& member) const {
        return fixture::MemberFile(app.path(), member, Module1::kCaptionsFile);
    }
};

TEST_F(LogOffAndExit, LogOffAnsweredNoChangesNothing) {
    Form1& w = OpenDiary("Ann", "ann");
    w.Text2->SetText("half typed");
    ui.ExpectMsgBox(kAreYouSure, 52, "Jotterel", platform::vbNo);
    w.mnuLogoff->trigger();
    EXPECT_EQ(loginWindowsOpened, 1);
    EXPECT_EQ(w.Text1->Text(), "[1] \tAnn's page 1\r\n\r\n");
    EXPECT_EQ(w.Text2->Text(), "half typed");
    EXPECT_EQ(w.windowTitle(), "Jotterel of 'Ann'");
    EXPECT_EQ(module.CurrentUser(), "Ann");
    EXPECT_EQ(module.EnteredPassword(), "ann");
}

TEST_F(LogOffAndExit, LogOffHandsThePageViewToTheNextMember) {
    struct Case {
        int pageShown;
        std::vector<int> pagesSelected; // by the presses of ">>" and "<<" after the login
    };
    for (const Case& c : {Case{15, {1}}, Case{1, {15, 1}}}) {
        SCOPED_TRACE(c.pageShown);
        Form1& w = OpenDiary("Ann", "ann");
        w.Combo1->setCurrentIndex(c.pageShown - 1);
        w.Text2->SetText("left in the entry box");
        std::vector<int> selected;
        QObject::connect(w.Combo1, &QComboBox::currentIndexChanged, [&](int i) { selected.push_back(i + 1); });

        ui.ExpectMsgBox(kAreYouSure, 52, "Jotterel", platform::vbYes);
        NextLogin([&](Form2& login) {
            // While the login window is open the main window is empty and names nobody.
            EXPECT_EQ(w.Text1->Text(), "");
            EXPECT_EQ(w.Text2->Text(), "");
            EXPECT_EQ(w.windowTitle(), "Jotterel");
            EXPECT_EQ(module.CurrentUser(), "");
            EXPECT_EQ(module.EnteredPassword(), "");
            EXPECT_FALSE(module.LoggedIn()); // another copy of the program may log Ann in now
            EXPECT_EQ(w.mnuLogoff->text(), "Log off 'Ann'");
            TypeLogin(login, "Bob", "BOB");
        });
        w.mnuLogoff->trigger();

        EXPECT_EQ(selected, c.pagesSelected);
        EXPECT_EQ(w.CurrentPage(), 1);
        EXPECT_EQ(w.Text1->Text(), "[1] \tBob's page 1\r\n\r\n");
        EXPECT_EQ(w.Label2->text(), "Bob's first");
        EXPECT_EQ(w.Text2->Text(), "");
        EXPECT_EQ(w.windowTitle(), "Jotterel of 'Bob'");
        EXPECT_EQ(w.mnuLogoff->text(), "Log off 'Bob'");
        EXPECT_EQ(w.mnuDelUser->text(), "Delete user 'Bob'");
        EXPECT_FALSE(w.Ended());
        form.reset();
        module.LogOff();
    }
}

TEST_F(LogOffAndExit, LoginWindowClosedAfterLogOffEndsTheProgram) {
    Form1& w = OpenDiary("Ann", "ann");
    ui.ExpectMsgBox(kAreYouSure, 52, "Jotterel", platform::vbYes);
    w.mnuLogoff->trigger(); // the login window is closed without a login
    EXPECT_TRUE(w.Ended());
    EXPECT_EQ(loginWindowsOpened, 2);
    EXPECT_EQ(w.Text1->Text(), "");
}

TEST_F(LogOffAndExit, CtrlLAsksToLogOff) {
    Form1& w = OpenDiary("Ann", "ann");
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    ui.ExpectMsgBox(kAreYouSure, 52, "Jotterel", platform::vbNo);
    QTest::keyClick(&w, Qt::Key_L, Qt::ControlModifier);
    EXPECT_TRUE(ui.Done());
}

TEST_F(LogOffAndExit, ExitSavesEveryCaptionAndEndsTheProgram) {
    for (const char* how : {"button", "menu"}) {
        SCOPED_TRACE(how);
        fixture::WriteBytes(captionsFile("Ann"), "");
        Form1& w = OpenDiary("Ann", "ann");
        w.show();
        if (std::string(how) == "button") {
            QTest::mouseClick(w.Command4, Qt::LeftButton);
        } else {
            w.mnuExit2->trigger();
        }
        EXPECT_TRUE(w.Ended());
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(fixture::ReadBytes(captionsFile("Ann")),
                  fixture::PageContent(110, std::vector<std::string>(15, "No caption set")));
        EXPECT_TRUE(fixture::IsHidden(captionsFile("Ann")));
        form.reset();
        module.LogOff();
    }
}

TEST_F(LogOffAndExit, CloseBoxWritesNothing) {
    Form1& w = OpenDiary("Ann", "ann");
    w.show();
    module.SetCaption(2, "never stored");
    w.close();
    EXPECT_TRUE(w.Ended());
    EXPECT_EQ(fixture::ReadBytes(captionsFile("Ann")), "");
}

TEST_F(LogOffAndExit, ExitWhenTheCaptionsCannotBeSavedSaysSoAndEnds) {
    Form1& w = OpenDiary("Ann", "ann");
    platform::DeleteFile(captionsFile("Ann"));
    ui.ExpectMsgBox("The page captions cannot be saved. Jotterel closes without saving them.\r\r" +
                        module.CaptionsPath() + "\r" + platform::ErrorText(ENOENT),
                    48, "Jotterel");
    w.Command4->click();
    EXPECT_TRUE(w.Ended());
    EXPECT_FALSE(platform::PathExists(captionsFile("Ann")));
}

TEST_F(LogOffAndExit, CaptionsThatCannotBeReadAreNeitherEditedNorSavedOver) {
    // Something stands where the captions file should be that cannot be read as one.
    const std::string captions = captionsFile("Ann");
    platform::DeleteFile(captions);
    platform::MakeFolder(captions);
    Form1& w = OpenDiary("Ann", "ann");
    EXPECT_EQ(w.Label2->text(), "No caption set");
    const std::string reason = "It could not be read (" + platform::ErrorText(EISDIR) +
                               "), so Jotterel leaves it as it is rather than write over the captions it holds.";
    ui.ExpectMsgBox("The captions of your pages cannot be read, so no caption can be changed now.\r\r" + captions +
                        "\r" + platform::ErrorText(EISDIR),
                    48, "Jotterel");
    w.Label2_Click();
    ui.ExpectMsgBox("The page captions cannot be saved. Jotterel closes without saving them.\r\r" + captions + "\r" +
                        reason,
                    48, "Jotterel");
    w.Command4->click();
    EXPECT_TRUE(ui.Done());
    EXPECT_TRUE(w.Ended());
    EXPECT_TRUE(platform::FolderExists(captions));
}

} // namespace
