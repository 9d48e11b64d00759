#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include "gui/FindFixture.h"
#include "platform/qt/PageView.h"
#include "platform/qt/TextBox.h"
#include "platform/qt/Twips.h"

namespace {

using Lines = std::vector<std::string>;

class ResultsWindow : public FindFixture {
protected:
    // Anna's diary shown and active, and the results window of a Find for "anna".
    FindResultsWindow& findAnna() {
        openAnnsDiary();
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        findText("", "anna");
        return *results();
    }

    void selectLine(int row) { results()->resultList->setCurrentIndex(results()->lines().index(row)); }

    // Where the page view's text holds text first.
    std::size_t offsetInPage(const std::string& text) const { return form->pageView->text().find(text); }
};

TEST_F(ResultsWindow, AsDesigned) {
    FindResultsWindow& w = findAnna();
    EXPECT_EQ(w.windowTitle(), "Find results (double-click on item to open page)");
    EXPECT_EQ(w.parentWidget(), nullptr);
    EXPECT_FALSE(w.isModal());
    EXPECT_EQ(w.openButton->text(), "Open");
    EXPECT_EQ(w.closeButton->text(), "Close");
    EXPECT_TRUE(w.openButton->isDefault());
    EXPECT_EQ(w.columnHeader->text(), "Page #              Text");
    EXPECT_TRUE(w.columnHeader->isReadOnly());
    EXPECT_FALSE(w.columnHeader->focusPolicy() & Qt::TabFocus);
    EXPECT_TRUE(w.columnHeader->font().bold());
    EXPECT_DOUBLE_EQ(w.columnHeader->font().pointSizeF(), 8.25);

    const FindResultsGeometry design = FindResultsGeometry::designTime();
    EXPECT_EQ(design.closeButton, (TwipsRect{210, 150, 1275, 315}));
    EXPECT_EQ(design.columnHeader, (TwipsRect{180, 540, 4335, 315}));
    EXPECT_EQ(design.openButton, (TwipsRect{1680, 150, 1275, 315}));
    EXPECT_EQ(design.resultList, (TwipsRect{180, 810, 4335, 2400}));

    // The list has the focus; Tab goes on to Open and Close, never to the header.
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_TRUE(w.resultList->hasFocus());
    QTest::keyClick(w.resultList, Qt::Key_Tab);
    EXPECT_TRUE(w.openButton->hasFocus());
    QTest::keyClick(w.openButton, Qt::Key_Tab);
    EXPECT_TRUE(w.closeButton->hasFocus());
}

TEST_F(ResultsWindow, LoadPlacesItCentredAtThreeQuartersOfTheMainWindowsWidth) {
    openAnnsDiary();
    form->show();
    form->resize(800, 500);
    findText("", "anna");
    FindResultsWindow& w = *results();
    const QRect outer = w.frameGeometry();
    EXPECT_NEAR(outer.width(), 0.75 * form->frameGeometry().width(), 1);
    EXPECT_NEAR(w.height(), platform::twipsToPixelsY(FindResultsGeometry::kClientHeight), 1);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_NEAR(outer.left(), (screen.width() - outer.width()) / 2, 1);
    EXPECT_NEAR(outer.top(), (screen.height() - outer.height()) / 2, 1);
}

TEST_F(ResultsWindow, ResizeRule) {
    struct Case {
        double width, height;
        double text1Width, list1Width, list1Height;
    };
    const TwipsRect designList = FindResultsGeometry::designTime().resultList;
    const Case cases[] = {
        {6000, 5000, 5400, 5400, 3500},
        {600, 1500, 0, 0, 0},
        // Too small to lay out: the sizes that would turn negative stay as they were.
        {599, 1499, 4335, 4335, designList.height},
        {300, 4000, 4335, 4335, 2500},
    };
    for (const Case& c : cases) {
        const FindResultsGeometry g = FindResultsGeometry::designTime().resized(c.width, c.height);
        EXPECT_EQ(g.columnHeader.width, c.text1Width) << c.width << " x " << c.height;
        EXPECT_EQ(g.resultList.width, c.list1Width) << c.width << " x " << c.height;
        EXPECT_EQ(g.resultList.height, c.list1Height) << c.width << " x " << c.height;
        EXPECT_EQ(g.openButton, FindResultsGeometry::designTime().openButton);
        EXPECT_EQ(g.closeButton, FindResultsGeometry::designTime().closeButton);
        EXPECT_EQ(g.columnHeader.height, 315);
        EXPECT_EQ(g.resultList.top, 810);
    }

    // The window itself lays its controls out by the rule.
    FindResultsWindow& w = findAnna();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const QSize frame = w.frameGeometry().size() - w.size();
    w.resize(platform::twipsToPixelsX(6000) - frame.width(), platform::twipsToPixelsY(5000) - frame.height());
    EXPECT_NEAR(w.columnHeader->width(), platform::twipsToPixelsX(5400), 1);
    EXPECT_NEAR(w.resultList->width(), platform::twipsToPixelsX(5400), 1);
    EXPECT_NEAR(w.resultList->height(), platform::twipsToPixelsY(3500), 1);
    EXPECT_EQ(w.openButton->pos(), platform::toPixels({1680, 150, 1275, 315}).topLeft());
}

TEST_F(ResultsWindow, OpenShowsThePageWithTheFirstOccurrenceSelected) {
    struct Case {
        int row; // -1: no line selected
        int page;
        std::string before; // the page view's text up to the occurrence
        std::string selected;
    };
    const Case cases[] = {
        // No line selected: the first line's page.
        {-1, 3, "[1] \tRain all day (07Dec26, 09:00AM)\r\n\r\n\r\n[2] \t", "ANNA"},
        // Entry 5's line selects the occurrence in entry 2, CR LF counted as two characters.
        {2, 4, "[1] \tTea (01Dec26, 08:00AM)\r\n\r\n[2] \tWalk with ", "Anna"},
        {3, 12, "[1] \tDinner at ", "anna"},
    };
    FindResultsWindow& first = findAnna();
    first.closeButton->click();
    for (const Case& c : cases) {
        findText("anna", "anna");
        FindResultsWindow* w = results();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
        if (c.row >= 0) {
            selectLine(c.row);
        }
        w->openButton->click();
        EXPECT_EQ(form->currentPage(), c.page);
        EXPECT_EQ(results(), nullptr) << "the window closes once the text is found";
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        EXPECT_TRUE(form->pageView->hasFocus());
        EXPECT_EQ(form->pageView->selStart(), c.before.size()) << c.page;
        EXPECT_EQ(form->pageView->selText(), c.selected);
    }
}

TEST_F(ResultsWindow, EnterInTheListOpens) {
    FindResultsWindow& w = findAnna();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(w.resultList, Qt::Key_Down); // the second line
    QTest::keyClick(w.resultList, Qt::Key_Return);
    EXPECT_EQ(form->currentPage(), 4);
    EXPECT_EQ(results(), nullptr);
}

TEST_F(ResultsWindow, OpenWithAnEmptyListDoesNothing) {
    openAnnsDiary();
    expectPrompt("", "zebra");
    expectNotFound();
    findText("zebra", "");
    ASSERT_NE(results(), nullptr);
    results()->openButton->click();
    EXPECT_EQ(form->currentPage(), 1);
    EXPECT_NE(results(), nullptr);
}

TEST_F(ResultsWindow, OpenAfterACancelledFindSelectsNothingAtTheStartOfThePage) {
    FindResultsWindow& w = findAnna();
    findText("anna", "");
    ASSERT_EQ(results(), &w);
    selectLine(3);
    w.openButton->click();
    EXPECT_EQ(form->currentPage(), 12);
    EXPECT_EQ(results(), nullptr);
    EXPECT_EQ(form->pageView->selStart(), 0u);
    EXPECT_EQ(form->pageView->selLength(), 0u);
}

TEST_F(ResultsWindow, OpenAfterAFindForOtherTextLooksForTheNewText) {
    FindResultsWindow& w = findAnna();
    findText("anna", "APPLES");
    ASSERT_EQ(listed().size(), 5u);
    // Page 4 holds no apples: the page changes and the window stays.
    selectLine(1);
    w.openButton->click();
    EXPECT_EQ(form->currentPage(), 4);
    ASSERT_EQ(results(), &w);
    EXPECT_TRUE(w.isVisible());
    selectLine(4);
    w.openButton->click();
    EXPECT_EQ(form->currentPage(), 1);
    EXPECT_EQ(results(), nullptr);
    EXPECT_EQ(form->pageView->selText(), "apples");
}

TEST_F(ResultsWindow, DoubleClickOpensAndClosesInAnyCase) {
    FindResultsWindow& first = findAnna();
    first.closeButton->click();
    std::string previous = "anna";
    // The second line is on page 4, which holds Anna but no apples.
    for (const std::string later : {"anna", "apples"}) {
        findText(previous, "anna");
        findText("anna", later);
        previous = later;
        FindResultsWindow* w = results();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
        form->goToFirstPage();
        const QRect line = w->resultList->visualRect(w->lines().index(1));
        QTest::mouseClick(w->resultList->viewport(), Qt::LeftButton, {}, line.center());
        QTest::mouseDClick(w->resultList->viewport(), Qt::LeftButton, {}, line.center());
        EXPECT_EQ(form->currentPage(), 4) << later;
        EXPECT_EQ(results(), nullptr) << later;
        EXPECT_EQ(form->pageView->selText(), later == "anna" ? "Anna" : "") << later;
    }
}

TEST_F(ResultsWindow, CloseButtonEscAndCloseBoxUnloadIt) {
    const std::function<void(FindResultsWindow&)> ways[] = {
        [](FindResultsWindow& w) { w.closeButton->click(); },
        [](FindResultsWindow& w) { QTest::keyClick(w.resultList, Qt::Key_Escape); },
        [](FindResultsWindow& w) { w.close(); },
    };
    std::string previous;
    openAnnsDiary();
    form->show();
    for (const auto& closeIt : ways) {
        findText(previous, "anna");
        previous = "anna";
        QPointer<FindResultsWindow> w = results();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
        closeIt(*w);
        EXPECT_EQ(results(), nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(w.isNull()) << "a closed window is gone with its lines";
    }
    // The next Find starts a new list.
    findText("anna", "apples");
    EXPECT_EQ(listed(), Lines{" 1     [1] Bought apples (03Jan26, 10:15AM)"});
}

// A minimised diary comes back for the selection; a hidden one is not shown by Open, but the
// selection is made all the same and nothing fails.
TEST_F(ResultsWindow, OpenWhenTheDiaryCannotTakeTheFocus) {
    FindResultsWindow& w = findAnna();
    form->showMinimized();
    w.openButton->click();
    EXPECT_FALSE(form->isMinimized());
    EXPECT_EQ(form->currentPage(), 3);
    EXPECT_EQ(form->pageView->selText(), "ANNA");

    findText("anna", "anna");
    form->hide();
    selectLine(3);
    results()->openButton->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(results(), nullptr);
    EXPECT_EQ(form->currentPage(), 12);
    EXPECT_EQ(form->pageView->selText(), "anna");
}

} // namespace
