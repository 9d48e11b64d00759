#include <QListView>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "gui/FindFixture.h"
#include "login/LoginWindow.h"
#include "platform/qt/PageView.h"
#include "platform/qt/TextBox.h"
#include "support/core/MemberFixture.h"

namespace {

using Lines = std::vector<std::string>;

class Search : public FindFixture {};

TEST_F(Search, ListsEveryEntryHoldingTheTextOnAllPages) {
    openAnnsDiary();
    struct Case {
        std::string input;
        Lines lines;
    };
    const Case cases[] = {
        // Letter case is ignored; an entry holding the text twice is listed once; the empty line
        // on page 3 is no entry; pages 10 to 15 take one more character for their number.
        {"aNNa", annaLines()},
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
        findText(previous, c.input);
        EXPECT_EQ(module.searchText(), c.input);
        EXPECT_EQ(listed(), c.lines) << c.input;
        ASSERT_NE(results(), nullptr);
        EXPECT_TRUE(results()->isVisible());
        results()->closeButton->click();
        previous = c.input;
    }
}

TEST_F(Search, EntryThatCannotBeDecipheredKeepsItsNumberButIsNotListed) {
    makeMember("Ann", kKey, "pw");
    // The middle entry was written in plain text by hand: every byte lies below the key.
    fixture::writeBytes(pageFile("Ann", 6), fixture::pageContent(kKey, {"anna one", ""}) + "anna two\r\n\r\n" +
                                                fixture::pageContent(kKey, {"anna three", ""}));
    openDiary("Ann", "pw");
    findText("", "anna");
    EXPECT_EQ(listed(), (Lines{" 6     [1] anna one", " 6     [3] anna three"}));
}

TEST_F(Search, CancelledPromptEndsTheCommandAndForgetsTheText) {
    openAnnsDiary();
    module.setSearchText("anna");
    findText("anna", "");
    EXPECT_EQ(module.searchText(), "");
    EXPECT_EQ(results(), nullptr);
    findText("", "");
    EXPECT_EQ(results(), nullptr);
}

TEST_F(Search, TextNotFoundAsksAgainWithTheFailedText) {
    openAnnsDiary();
    expectPrompt("", "zebra");
    expectNotFound();
    findText("zebra", "Anna");
    EXPECT_EQ(listed(), annaLines());
    EXPECT_TRUE(results()->isVisible());

    // Cancelled after a miss: the window made for the miss stays, hidden and empty, and the next
    // search that finds something shows it.
    results()->closeButton->click();
    expectPrompt("Anna", "zebra");
    expectNotFound();
    findText("zebra", "");
    ASSERT_NE(results(), nullptr);
    FindResultsWindow* hidden = results();
    EXPECT_FALSE(hidden->isVisible());
    EXPECT_EQ(listed(), Lines{});
    findText("", "apples");
    EXPECT_EQ(results(), hidden);
    EXPECT_TRUE(hidden->isVisible());
    EXPECT_EQ(listed(), Lines{" 1     [1] Bought apples (03Jan26, 10:15AM)"});
}

TEST_F(Search, LaterFindAppendsToTheOpenWindowAndBringsItForward) {
    openAnnsDiary();
    form->show();
    findText("", "anna");
    FindResultsWindow* window = results();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));

    // Nothing found, but the window still holds lines: no message, and it comes forward again.
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    findText("anna", "zebra");
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    EXPECT_EQ(listed(), annaLines());

    // A window the member minimised comes back.
    window->showMinimized();
    findText("zebra", "apples");
    EXPECT_FALSE(window->isMinimized());
    EXPECT_EQ(results(), window);
    Lines expected = annaLines();
    expected.push_back(" 1     [1] Bought apples (03Jan26, 10:15AM)");
    EXPECT_EQ(listed(), expected);
}

TEST_F(Search, EmptyAndMissingPagesListNothing) {
    makeMember("Bob", 120, "pw");
    for (int page = 2; page <= 14; page += 2) {
        std::remove(pageFile("Bob", page).c_str());
    }
    writePage("Bob", 15, 120, {"", "", "pears", ""});
    openDiary("Bob", "pw");
    findText("", "PEARS");
    EXPECT_EQ(listed(), Lines{" 15     [1] pears"});
}

TEST_F(Search, LogOffClosesTheResultsAndForgetsTheSearchText) {
    // On a shared computer one member's entries must not stay on screen for the next.
    openAnnsDiary();
    makeMember("Bob", 120, "pw");
    writePage("Bob", 2, 120, {"Anna visited", ""});
    findText("", "anna");
    QPointer<FindResultsWindow> annsResults = results();
    ui.expectMsgBox("Are you sure you want to log off?", 52, "Jotterel", platform::vbYes);
    nextLogin([&](LoginWindow& login) {
        EXPECT_TRUE(!annsResults || !annsResults->isVisible()); // gone before anybody logs in
        typeLogin(login, "Bob", "pw");
    });
    form->logOffAction->trigger();
    ASSERT_EQ(module.currentMember(), "Bob");
    EXPECT_EQ(results(), nullptr);

    // Bob's Find offers nothing of Ann's and lists only Bob's entries.
    findText("", "anna");
    EXPECT_EQ(listed(), Lines{" 2     [1] Anna visited"});
    results()->openButton->click();
    EXPECT_EQ(form->currentPage(), 2);
    EXPECT_EQ(form->pageView->selText(), "Anna");
}

TEST_F(Search, ResultsWindowClosesWhenTheProgramEnds) {
    openAnnsDiary();
    findText("", "anna");
    QPointer<FindResultsWindow> window = results();
    form->endProgram();
    EXPECT_EQ(results(), nullptr);
    EXPECT_TRUE(!window || !window->isVisible());
}

} // namespace
