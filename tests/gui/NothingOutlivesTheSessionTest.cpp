#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <chrono>
#include <gtest/gtest.h>

#include "gui/FindFixture.h"
#include "login/LoginWindow.h"
#include "platform/qt/IdleWatch.h"
#include "platform/qt/PageView.h"
#include "platform/qt/QtText.h"
#include "platform/qt/TextBox.h"
#include "store/MemberProtection.h"
#include "support/core/QuickKdf.h"

// Whatever Ann leaves in the page view's selection, the clipboard or the primary selection, it
// goes when she does: Bob, logging in after her, pastes nothing of hers, and no other program
// finds it there once Jotterel has ended.
namespace {

enum class Trace { CopyFromPageView, SelectAllInPageView, FindAndOpenAResult, FindInAProtectedDiary };
enum class End { LogOff, DeleteUser, IdleLogOff, Exit };

const char* name(Trace t) {
    switch (t) {
    case Trace::CopyFromPageView:
        return "copy from the page view";
    case Trace::SelectAllInPageView:
        return "select all in the page view";
    case Trace::FindAndOpenAResult:
        return "Find and open a result";
    case Trace::FindInAProtectedDiary:
        return "Find in a protected diary";
    }
    return "";
}

const char* name(End e) {
    switch (e) {
    case End::LogOff:
        return "log off";
    case End::DeleteUser:
        return "Delete user";
    case End::IdleLogOff:
        return "automatic log off";
    case End::Exit:
        return "Exit";
    }
    return "";
}

class NothingOutlivesTheSession : public FindFixture, public ::testing::WithParamInterface<std::tuple<Trace, End>> {
protected:
    static constexpr int kBobKey = 102;

    // What the clipboard, and the primary selection where there is one, hold as text.
    static std::vector<QString> clipboardTexts() {
        QClipboard* clipboard = QGuiApplication::clipboard();
        std::vector<QString> texts{clipboard->text(QClipboard::Clipboard)};
        if (clipboard->supportsSelection()) {
            texts.push_back(clipboard->text(QClipboard::Selection));
        }
        return texts;
    }
};

TEST_P(NothingOutlivesTheSession, NeitherTheClipboardNorTheSelectionKeepsTheMembersText) {
    const auto [trace, end] = GetParam();
    QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
    openAnnsDiary();
    makeMember("Bob", kBobKey, "bob");
    writePage("Bob", 1, kBobKey, {"Bob's first entry", ""});
    const std::string bobsPage = fixture::readBytes(pageFile("Bob", 1));
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));

    switch (trace) {
    case Trace::CopyFromPageView:
        form->pageView->setFocus();
        form->pageView->select(5, 13);
        QTest::keyClick(form->pageView, Qt::Key_C, Qt::ControlModifier);
        ASSERT_EQ(QGuiApplication::clipboard()->text(), "Bought apples");
        break;
    case Trace::SelectAllInPageView:
        form->pageView->setFocus();
        QTest::keyClick(form->pageView, Qt::Key_A, Qt::ControlModifier);
        ASSERT_EQ(form->pageView->selLength(), form->pageView->length());
        break;
    case Trace::FindInAProtectedDiary:
        // Find keeps the pages it opened, deciphered, for the session.
        writePage("Ann", 2, kKey, {}); // every page is there to be protected
        module.setKdfForNewDiaries(quickKdf());
        protectMember(module, "Ann's own words");
        fixture::writtenAnHourAgo(app / "Ann");
        [[fallthrough]];
    case Trace::FindAndOpenAResult: {
        findText("", "anna");
        FindResultsWindow* w = results();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
        w->resultList->setCurrentIndex(w->lines().index(1));
        w->openButton->click();
        ASSERT_EQ(form->pageView->selText(), "Anna");
        ASSERT_EQ(module.openedPages().pagesKept(), trace == Trace::FindInAProtectedDiary ? 15u : 0u);
        break;
    }
    }
    form->entryBox->setText("Ann half typed");

    auto bobLogsIn = [](LoginWindow& login) { typeLogin(login, "Bob", "bob"); };
    auto now = std::chrono::steady_clock::now();
    switch (end) {
    case End::LogOff:
        ui.expectMsgBox("Are you sure you want to log off?", 52, "Jotterel", platform::vbYes);
        nextLogin(bobLogsIn);
        form->logOffAction->trigger();
        break;
    case End::DeleteUser:
        ui.expectMsgBox("Are you sure you want to delete 'Ann' from this diary?", 52, "Jotterel", platform::vbYes);
        ui.expectMsgBox("Deleted information cannot be restored later. You will have to sign in as a new user. Do you "
                        "still want to proceed?",
                        52, "Jotterel", platform::vbYes);
        ui.expectMsgBox("User 'Ann' deleted.", 64, "Jotterel");
        nextLogin(bobLogsIn);
        form->deleteUserAction->trigger();
        break;
    case End::IdleLogOff:
        form->idleWatch->setClock([&now] { return now; });
        now += DiaryWindow::kIdleLimit;
        nextLogin(bobLogsIn);
        form->idleWatch->check();
        break;
    case End::Exit:
        form->exitButton->click();
        ASSERT_TRUE(form->ended());
        break;
    }
    EXPECT_TRUE(ui.done());
    for (const QString& text : clipboardTexts()) {
        EXPECT_TRUE(text.isEmpty()) << text.toStdString();
    }
    EXPECT_EQ(form->pageView->selLength(), 0u);
    EXPECT_EQ(module.searchText(), "");
    EXPECT_EQ(module.openedPages().pagesKept(), 0u);
    EXPECT_EQ(module.openedPages().bytesKept(), 0u);
    if (end == End::Exit) {
        return;
    }

    // Bob pastes into his entry box and commits: nothing is there to commit.
    ASSERT_EQ(module.currentMember(), "Bob");
    EXPECT_EQ(form->entryBox->text(), "");
    form->entryBox->setFocus();
    QTest::keyClick(form->entryBox, Qt::Key_V, Qt::ControlModifier);
    QTest::mouseClick(form->entryBox->viewport(), Qt::MiddleButton);
    EXPECT_EQ(form->entryBox->text(), "");
    ui.expectBeep();
    form->commitButton->click();
    EXPECT_TRUE(ui.done());
    EXPECT_EQ(fixture::readBytes(pageFile("Bob", 1)), bobsPage);
}

INSTANTIATE_TEST_SUITE_P(AnnThenBob, NothingOutlivesTheSession,
                         ::testing::Combine(::testing::Values(Trace::CopyFromPageView, Trace::SelectAllInPageView,
                                                              Trace::FindAndOpenAResult, Trace::FindInAProtectedDiary),
                                            ::testing::Values(End::LogOff, End::DeleteUser, End::IdleLogOff,
                                                              End::Exit)),
                         [](const auto& info) {
                             std::string n =
                                 std::string(name(std::get<0>(info.param))) + "_" + name(std::get<1>(info.param));
                             for (char& c : n) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) {
                                     c = '_';
                                 }
                             }
                             return n;
                         });

} // namespace
