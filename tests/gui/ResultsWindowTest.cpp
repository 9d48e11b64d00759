#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include "gui/FindFixture.h"
#include "platform/qt/TextBox.h"
#include "platform/qt/Twips.h"

namespace {

using Lines = std::vector<std::string>;

class ResultsWindow : public FindFixture {
protected:
    // Anna's diary shown and active, and the results window of a Find for "anna".
    Form3& FindAnna() {
        OpenAnnsDiary();
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        FindText("", "anna");
        return *Results();
    }

    void SelectLine(int row) { Results()->List1->setCurrentIndex(Results()->Lines().index(row)); }

    // Where the page view's text holds text first.
    std::size_t OffsetInPage(const std::string& text) const { return form->Text1->Text().find(text); }
};

TEST_F(ResultsWindow, AsDesigned) {
    Form3& w = FindAnna();
    EXPECT_EQ(w.windowTitle(), "Find results (double-click on item to open page)");
    EXPECT_EQ(w.parentWidget(), nullptr);
    EXPECT_FALSE(w.isModal());
    EXPECT_EQ(w.Command1->text(), "Open");
    EXPECT_EQ(w.Command2->text(), "Close");
    EXPECT_TRUE(w.Command1->isDefault());
    EXPECT_EQ(w.Text1->text(), "Page #              Text");
    EXPECT_TRUE(w.Text1->isReadOnly());
    EXPECT_FALSE(w.Text1->focusPolicy() & Qt::TabFocus);
    EXPECT_TRUE(w.Text1->font().bold());
    EXPECT_DOUBLE_EQ(w.Text1->font().pointSizeF(), 8.25);

    const Form3Geometry design = Form3Geometry::DesignTime();
    EXPECT_EQ(design.Command2, (TwipsRect{210, 150, 1275, 315}));
    EXPECT_EQ(design.Text1, (TwipsRect{180, 540, 4335, 315}));
    EXPECT_EQ(design.Command1, (TwipsRect{1680, 150, 1275, 315}));
    EXPECT_EQ(design.List1, (TwipsRect{180, 810, 4335, 2400}));

    // The list has the focus; Tab goes on to Open and Close, never to the header.
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_TRUE(w.List1->hasFocus());
    QTest::keyClick(w.List1, Qt::Key_Tab);
    EXPECT_TRUE(w.Command1->hasFocus());
    QTest::keyClick(w.Command1, Qt::Key_Tab);
    EXPECT_TRUE(w.Command2->hasFocus());
}

TEST_F(ResultsWindow, LoadPlacesItCentredAtThreeQuartersOfTheMainWindowsWidth) {
    OpenAnnsDiary();
    form->show();
    form->resize(800, 500);
    FindText("", "anna");
    Form3& w = *Results();
    const QRect outer = w.frameGeometry();
    EXPECT_NEAR(outer.width(), 0.75 * form->frameGeometry().width(), 1);
    EXPECT_NEAR(w.height(), platform::TwipsToPixelsY(Form3Geometry::kClientHeight), 1);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_NEAR(outer.left(), (screen.width() - outer.width()) / 2, 1);
    EXPECT_NEAR(outer.top(), (screen.height() - outer.height()) / 2, 1);
}

TEST_F(ResultsWindow, ResizeRule) {
    struct Case {
        double width, height;
        double text1Width, list1Width, list1Height;
    };
    const TwipsRect designList = Form3Geometry::DesignTime().List1;
    const Case cases[] = {
        {6000, 5000, 5400, 5400, 3500},
        {600, 1500, 0, 0, 0},
        // Too small to lay out: the sizes that would turn negative stay as they were.
        {599, 1499, 4335, 4335, designList.height},
        {300, 4000, 4335, 4335, 2500},
    };
    for (const Case& c : cases) {
        const Form3Geometry g = Form3Geometry::DesignTime().Resized(c.width, c.height);
        EXPECT_EQ(g.Text1.width, c.text1Width) << c.width << " x " << c.height;
        EXPECT_EQ(g.List1.width, c.list1Width) << c.width << " x " << c.height;
        EXPECT_EQ(g.List1.height, c.list1Height) << c.width << " x " << c.height;
        EXPECT_EQ(g.Command1, Form3Geometry::DesignTime().Command1);
        EXPECT_EQ(g.Command2, Form3Geometry::DesignTime().Command2);
        EXPECT_EQ(g.Text1.height, 315);
        EXPECT_EQ(g.List1.top, 810);
    }

    // The window itself lays its controls out by the rule.
    Form3& w = FindAnna();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const QSize frame = w.frameGeometry().size() - w.size();
    w.resize(platform::TwipsToPixelsX(6000) - frame.width(), platform::TwipsToPixelsY(5000) - frame.height());
    EXPECT_NEAR(w.Text1->width(), platform::TwipsToPixelsX(5400), 1);
    EXPECT_NEAR(w.List1->width(), platform::TwipsToPixelsX(5400), 1);
    EXPECT_NEAR(w.List1->height(), platform::TwipsToPixelsY(3500), 1);
    EXPECT_EQ(w.Command1->pos(), platform::TwipsRect(1680, 150, 1275, 315).topLeft());
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
    Form3& first = FindAnna();
    first.Command2->click();
    for (const Case& c : cases) {
        FindText("anna", "anna");
        Form3* w = Results();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
        if (c.row >= 0) {
            SelectLine(c.row);
        }
        w->Command1->click();
        EXPECT_EQ(form->CurrentPage(), c.page);
        EXPECT_EQ(Results(), nullptr) << "the window closes once the text is found";
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        EXPECT_TRUE(form->Text1->hasFocus());
        EXPECT_EQ(form->Text1->SelStart(), c.before.size()) << c.page;
        EXPECT_EQ(form->Text1->SelText(), c.selected);
    }
}

TEST_F(ResultsWindow, EnterInTheListOpens) {
    Form3& w = FindAnna();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(w.List1, Qt::Key_Down); // the second line
    QTest::keyClick(w.List1, Qt::Key_Return);
    EXPECT_EQ(form->CurrentPage(), 4);
    EXPECT_EQ(Results(), nullptr);
}

TEST_F(ResultsWindow, OpenWithAnEmptyListDoesNothing) {
    OpenAnnsDiary();
    ExpectPrompt("", "zebra");
    ExpectNotFound();
    FindText("zebra", "");
    ASSERT_NE(Results(), nullptr);
    Results()->Command1->click();
    EXPECT_EQ(form->CurrentPage(), 1);
    EXPECT_NE(Results(), nullptr);
}

TEST_F(ResultsWindow, OpenAfterACancelledFindSelectsNothingAtTheStartOfThePage) {
    Form3& w = FindAnna();
    FindText("anna", "");
    ASSERT_EQ(Results(), &w);
    SelectLine(3);
    w.Command1->click();
    EXPECT_EQ(form->CurrentPage(), 12);
    EXPECT_EQ(Results(), nullptr);
    EXPECT_EQ(form->Text1->SelStart(), 0u);
    EXPECT_EQ(form->Text1->SelLength(), 0u);
}

TEST_F(ResultsWindow, OpenAfterAFindForOtherTextLooksForTheNewText) {
    Form3& w = FindAnna();
    FindText("anna", "APPLES");
    ASSERT_EQ(Listed().size(), 5u);
    // Page 4 holds no apples: the page changes and the window stays.
    SelectLine(1);
    w.Command1->click();
    EXPECT_EQ(form->CurrentPage(), 4);
    ASSERT_EQ(Results(), &w);
    EXPECT_TRUE(w.isVisible());
    SelectLine(4);
    w.Command1->click();
    EXPECT_EQ(form->CurrentPage(), 1);
    EXPECT_EQ(Results(), nullptr);
    EXPECT_EQ(form->Text1->SelText(), "apples");
}

TEST_F(ResultsWindow, DoubleClickOpensAndClosesInAnyCase) {
    Form3& first = FindAnna();
    first.Command2->click();
    std::string previous = "anna";
    // The second line is on page 4, which holds Anna but no apples.
    for (const std::string later : {"anna", "apples"}) {
        FindText(previous, "anna");
        FindText("anna", later);
        previous = later;
        Form3* w = Results();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
        form->Command6_Click();
        const QRect line = w->List1->visualRect(w->Lines().index(1));
        QTest::mouseClick(w->List1->viewport(), Qt::LeftButton, {}, line.center());
        QTest::mouseDClick(w->List1->viewport(), Qt::LeftButton, {}, line.center());
        EXPECT_EQ(form->CurrentPage(), 4) << later;
        EXPECT_EQ(Results(), nullptr) << later;
        EXPECT_EQ(form->Text1->SelText(), later == "anna" ? "Anna" : "") << later;
    }
}

TEST_F(ResultsWindow, CloseButtonEscAndCloseBoxUnloadIt) {
    const std::function<void(Form3&)> ways[] = {
        [](Form3& w) { w.Command2->click(); },
        [](Form3& w) { QTest::keyClick(w.List1, Qt::Key_Escape); },
        [](Form3& w) { w.close(); },
    };
    std::string previous;
    OpenAnnsDiary();
    form->show();
    for (const auto& closeIt : ways) {
        FindText(previous, "anna");
        previous = "anna";
        QPointer<Form3> w = Results();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
        closeIt(*w);
        EXPECT_EQ(Results(), nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(w.isNull()) << "a closed window is gone with its lines";
    }
    // The next Find starts a new list.
    FindText("anna", "apples");
    EXPECT_EQ(Listed(), Lines{" 1     [1] Bought apples (03Jan26, 10:15AM)"});
}

// A minimised diary comes back for the selection; a hidden one is not shown by Open, but the
// selection is made all the same and nothing fails.
TEST_F(ResultsWindow, OpenWhenTheDiaryCannotTakeTheFocus) {
    Form3& w = FindAnna();
    form->showMinimized();
    w.Command1->click();
    EXPECT_FALSE(form->isMinimized());
    EXPECT_EQ(form->CurrentPage(), 3);
    EXPECT_EQ(form->Text1->SelText(), "ANNA");

    FindText("anna", "anna");
    form->hide();
    SelectLine(3);
    Results()->Command1->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(Results(), nullptr);
    EXPECT_EQ(form->CurrentPage(), 12);
    EXPECT_EQ(form->Text1->SelText(), "anna");
}

} // namespace
