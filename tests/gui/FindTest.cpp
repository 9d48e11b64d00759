#include <QListView>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "gui/FindFixture.h"
#include "login/Form2.h"
#include "platform/qt/TextBox.h"
#include "support/core/MemberFixture.h"

namespace {

using Lines = std::vector<std::string>;

class Search : public FindFixture {};

TEST_F(Search, ListsEveryEntryHoldingTheTextOnAllPages) {
    OpenAnnsDiary();
    struct Case {
        std::string input;
        Lines lines;
    };
    const Case cases[] = {
        // Letter case is ignored; an entry holding the text twice is listed once; the empty line
        // on page 3 is no entry; pages 10 to 15 take one more character for their number.
        {"aNNa", AnnaLines()},
        // The time stamp is searched too: the month of page 1's entry and page 12's.
        {"JAN", {" 1     [1] Bought apples (03Jan26, 10:15AM)"}},
        {"mar26, 07", {" 12     [1] Dinner at anna's (12Mar26, 07:00PM)"}},
        // The text is not trimmed: "Anna's cake" does not follow a space.
        {" anna",
         {" 3     [2] ANNA called; anna again (09Dec26, 08:30PM)", " 4     [2] Walk with Anna (02Dec26, 04:10PM)",
          " 12     [1] Dinner at anna's (12Mar26, 07:00PM)"}},
    };
    std::string previous;
    for (const Case& c : cases) {
        FindText(previous, c.input);
        EXPECT_EQ(module.SearchText(), c.input);
        EXPECT_EQ(Listed(), c.lines) << c.input;
        ASSERT_NE(Results(), nullptr);
        EXPECT_TRUE(Results()->isVisible());
        Results()->Command2->click();
        previous = c.input;
    }
}

TEST_F(Search, EntryThatCannotBeDecipheredKeepsItsNumberButIsNotListed) {
    MakeMember("Ann", kKey, "pw");
    // The middle entry was written in plain text by hand: every byte lies below the key.
    fixture::WriteBytes(PageFile("Ann", 6), fixture::PageContent(kKey, {"anna one", ""}) + "anna two\r\n\r\n" +
                                                fixture::PageContent(kKey, {"anna three", ""}));
    OpenDiary("Ann", "pw");
    FindText("", "anna");
    EXPECT_EQ(Listed(), (Lines{" 6     [1] anna one", " 6     [3] anna three"}));
}

TEST_F(Search, CancelledPromptEndsTheCommandAndForgetsTheText) {
    OpenAnnsDiary();
    module.SetSearchText("anna");
    FindText("anna", "");
    EXPECT_EQ(module.SearchText(), "");
    EXPECT_EQ(Results(), nullptr);
    FindText("", "");
    EXPECT_EQ(Results(), nullptr);
}

TEST_F(Search, TextNotFoundAsksAgainWithTheFailedText) {
    OpenAnnsDiary();
    ExpectPrompt("", "zebra");
    ExpectNotFound();
    FindText("zebra", "Anna");
    EXPECT_EQ(Listed(), AnnaLines());
    EXPECT_TRUE(Results()->isVisible());

    // Cancelled after a miss: the window made for the miss stays, hidden and empty, and the next
    // search that finds something shows it.
    Results()->Command2->click();
    ExpectPrompt("Anna", "zebra");
    ExpectNotFound();
    FindText("zebra", "");
    ASSERT_NE(Results(), nullptr);
    Form3* hidden = Results();
    EXPECT_FALSE(hidden->isVisible());
    EXPECT_EQ(Listed(), Lines{});
    FindText("", "apples");
    EXPECT_EQ(Results(), hidden);
    EXPECT_TRUE(hidden->isVisible());
    EXPECT_EQ(Listed(), Lines{" 1     [1] Bought apples (03Jan26, 10:15AM)"});
}

TEST_F(Search, LaterFindAppendsToTheOpenWindowAndBringsItForward) {
    OpenAnnsDiary();
    form->show();
    FindText("", "anna");
    Form3* window = Results();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));

    // Nothing found, but the window still holds lines: no message, and it comes forward again.
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    FindText("anna", "zebra");
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    EXPECT_EQ(Listed(), AnnaLines());

    // A window the member minimised comes back.
    window->showMinimized();
    FindText("zebra", "apples");
    EXPECT_FALSE(window->isMinimized());
    EXPECT_EQ(Results(), window);
    Lines expected = AnnaLines();
    expected.push_back(" 1     [1] Bought apples (03Jan26, 10:15AM)");
    EXPECT_EQ(Listed(), expected);
}

TEST_F(Search, EmptyAndMissingPagesListNothing) {
    MakeMember("Bob", 120, "pw");
    for (int page = 2; page <= 14; page += 2) {
        std::remove(PageFile("Bob", page).c_str());
    }
    WritePage("Bob", 15, 120, {"", "", "pears", ""});
    OpenDiary("Bob", "pw");
    FindText("", "PEARS");
    EXPECT_EQ(Listed(), Lines{" 15     [1] pears"});
}

TEST_F(Search, LogOffClosesTheResultsAndForgetsTheSearchText) {
    // On a shared computer one member's entries must not stay on screen for the next.
    OpenAnnsDiary();
    MakeMember("Bob", 120, "pw");
    WritePage("Bob", 2, 120, {"Anna visited", ""});
    FindText("", "anna");
    QPointer<Form3> annsResults = Results();
    ui.ExpectMsgBox("Are you sure you want to log off?", 52, "Jotterel", platform::vbYes);
    NextLogin([&](Form2& login) {
        EXPECT_TRUE(!annsResults || !annsResults->isVisible()); // gone before anybody logs in
        TypeLogin(login, "Bob", "pw");
    });
    form->mnuLogoff->trigger();
    ASSERT_EQ(module.CurrentUser(), "Bob");
    EXPECT_EQ(Results(), nullptr);

    // Bob's Find offers nothing of Ann's and lists only Bob's entries.
    FindText("", "anna");
    EXPECT_EQ(Listed(), Lines{" 2     [1] Anna visited"});
    Results()->Command1->click();
    EXPECT_EQ(form->CurrentPage(), 2);
    EXPECT_EQ(form->Text1->SelText(), "Anna");
}

TEST_F(Search, ResultsWindowClosesWhenTheProgramEnds) {
    OpenAnnsDiary();
    FindText("", "anna");
    QPointer<Form3> window = Results();
    form->EndProgram();
    EXPECT_EQ(Results(), nullptr);
    EXPECT_TRUE(!window || !window->isVisible());
}

} // namespace
