#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <chrono>
#include <gtest/gtest.h>

#include "gui/FindFixture.h"
#include "login/LoginWindow.h"
#include "platform/qt/IdleWatch.h"
#include "platform/qt/Label.h"
#include "platform/qt/PageView.h"
#include "platform/qt/TextBox.h"
#include "store/CaptionsFile.h"
#include "store/MemberFolder.h"

// A member who leaves the diary open is logged off after ten minutes without keyboard or mouse
// input in any of the program's windows. The time is the test's own clock; nothing waits.
namespace {

using std::chrono::seconds;

class IdleLogOff : public FindFixture {
protected:
    static constexpr int kBobKey = 102;

    void SetUp() override {
        openAnnsDiary();
        makeMember("Bob", kBobKey, "bob");
        form->show();
        form->idleWatch->setClock([this] { return m_now; });
    }

    // The watch looks after the member has been away for so long.
    void passes(seconds time) {
        m_now += time;
        form->idleWatch->check();
    }

    std::chrono::steady_clock::time_point m_now = std::chrono::steady_clock::now();
};

// How long nobody used the program, and what was used before: the member is logged off once
// ten minutes have passed since the last input, wherever it was.
TEST_F(IdleLogOff, TenMinutesAfterTheLastInputInAnyWindow) {
    enum class Input { None, KeyInEntryBox, MouseOnPageView, KeyInFindResults };
    struct Case {
        const char* what;
        Input input;
        seconds inputAfter;
        seconds lookedAfter; // since the login
        bool loggedOff;
    };
    const Case cases[] = {
        {"ten minutes without input", Input::None, {}, seconds(600), true},
        {"a second less", Input::None, {}, seconds(599), false},
        {"a key pressed after five minutes, ten minutes less a second before", Input::KeyInEntryBox, seconds(300),
         seconds(899), false},
        {"a key pressed after five minutes, ten minutes before", Input::KeyInEntryBox, seconds(300), seconds(900),
         true},
        {"the mouse on the page view after nine minutes", Input::MouseOnPageView, seconds(540), seconds(900), false},
        {"a key in the find results after nine minutes", Input::KeyInFindResults, seconds(540), seconds(900), false},
        {"a key in the find results after nine minutes, ten minutes before", Input::KeyInFindResults, seconds(540),
         seconds(1140), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        form->idleWatch->restart();
        const seconds start{};
        seconds at = start;
        if (c.input != Input::None) {
            passes(c.inputAfter - at);
            at = c.inputAfter;
            switch (c.input) {
            case Input::KeyInEntryBox:
                QTest::keyClick(form->entryBox, Qt::Key_Shift);
                break;
            case Input::MouseOnPageView:
                QTest::mouseClick(form->pageView->viewport(), Qt::LeftButton);
                break;
            case Input::KeyInFindResults:
                findText(module.searchText(), "anna");
                QTest::keyClick(results()->openButton, Qt::Key_Shift);
                break;
            case Input::None:
                break;
            }
        }
        const int logins = loginWindowsOpened;
        if (c.loggedOff) {
            // The login window finds nobody logged in; Ann logs in again for the next case.
            nextLogin([this](LoginWindow& login) {
                EXPECT_FALSE(module.loggedIn());
                typeLogin(login, "Ann", "pw");
            });
        }
        passes(c.lookedAfter - at);
        EXPECT_EQ(loginWindowsOpened, logins + (c.loggedOff ? 1 : 0));
        EXPECT_EQ(module.currentMember(), "Ann");
        if (results()) {
            results()->closeButton->click();
        }
    }
}

// Logged off as Log off does, without its question: the captions are saved, the login window
// shows, and the entry Ann had typed waits for her next login, for her alone.
TEST_F(IdleLogOff, SavesTheCaptionsAndKeepsTheEntryForTheSameMember) {
    form->pageSelector->setCurrentIndex(2);
    module.setCaption(3, "Not yet saved");
    form->entryBox->setText("Ann half typed");
    nextLoginAs("Bob", "bob");
    passes(DiaryWindow::kIdleLimit);
    EXPECT_TRUE(ui.done());
    EXPECT_EQ(loginWindowsOpened, 2);
    ASSERT_EQ(module.currentMember(), "Bob");
    std::vector<std::string> captions(15, CaptionsFile::kNoCaption);
    captions[2] = "Not yet saved";
    EXPECT_EQ(fixture::readBytes(app / "Ann/" + MemberFolder::kCaptionsFile), fixture::pageContent(kKey, captions));
    // Bob sees nothing of it, and his own log off leaves it be.
    EXPECT_EQ(form->entryBox->text(), "");
    EXPECT_EQ(form->currentPage(), 1);
    ui.expectMsgBox("Are you sure you want to log off?", 52, "Jotterel", platform::vbYes);
    nextLoginAs("Ann", "pw");
    form->logOffAction->trigger();
    ASSERT_EQ(module.currentMember(), "Ann");
    EXPECT_EQ(form->entryBox->text(), "Ann half typed");
    EXPECT_EQ(form->captionLabel->text(), "No caption set"); // page 1's

    // A log off Ann confirms discards it, as designed.
    ui.expectMsgBox("Are you sure you want to log off?", 52, "Jotterel", platform::vbYes);
    nextLoginAs("Ann", "pw");
    form->logOffAction->trigger();
    EXPECT_TRUE(ui.done());
    ASSERT_EQ(module.currentMember(), "Ann");
    EXPECT_EQ(form->entryBox->text(), "");
}

TEST_F(IdleLogOff, NobodyLoggedInNothingHappens) {
    ui.expectMsgBox("Are you sure you want to log off?", 52, "Jotterel", platform::vbYes);
    form->logOffAction->trigger(); // nobody logs in again
    ASSERT_FALSE(module.loggedIn());
    const int logins = loginWindowsOpened;
    passes(DiaryWindow::kIdleLimit * 3);
    EXPECT_EQ(loginWindowsOpened, logins);
    EXPECT_TRUE(ui.done());
}

} // namespace
