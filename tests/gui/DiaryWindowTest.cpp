#include <QComboBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "platform/qt/Label.h"
#include "platform/qt/PageView.h"
#include "platform/qt/QtText.h"
#include "platform/qt/TextBox.h"
#include "platform/qt/Twips.h"
#include "support/gui/DiaryFixture.h"

namespace {

class DiaryWindowTest : public DiaryFixture {};

TEST_F(DiaryWindowTest, LoginShowsPageOneWithItsCaption) {
    makeMember("Ann", 110, "secret");
    writePage("Ann", 1, 110, {"first", "", "second", ""});
    DiaryWindow& w = openDiary("Ann", "SECRET");
    EXPECT_EQ(loginWindowsOpened, 1);
    EXPECT_EQ(w.currentPage(), 1);
    EXPECT_EQ(w.pageView->text(), "[1] \tfirst\r\n\r\n[2] \tsecond\r\n\r\n");
    EXPECT_EQ(w.captionLabel->text(), "No caption set");
    EXPECT_EQ(w.windowTitle(), "Jotterel of 'Ann'");
    EXPECT_EQ(w.pageView->selStart(), 0u);
    EXPECT_EQ(w.pageView->selLength(), w.pageView->text().size());
}

TEST_F(DiaryWindowTest, NavigationButtons) {
    makeMember("Ann", 110, "pw");
    for (int p = 1; p <= 15; ++p) {
        writePage("Ann", p, 110, {"page " + std::to_string(p)});
    }
    DiaryWindow& w = openDiary("Ann", "pw");
    struct Step {
        QPushButton* button;
        int page;
    };
    const Step steps[] = {{w.previousPageButton, 1}, {w.nextPageButton, 2},      {w.lastPageButton, 15},
                          {w.nextPageButton, 15},    {w.previousPageButton, 14}, {w.firstPageButton, 1}};
    for (const Step& s : steps) {
        s.button->click();
        EXPECT_EQ(w.currentPage(), s.page) << s.button->objectName().toStdString();
        EXPECT_EQ(w.pageView->text(), "[1] \tpage " + std::to_string(s.page) + "\r\n");
    }
}

TEST_F(DiaryWindowTest, SelectingTheShownPageDoesNotReload) {
    makeMember("Ann", 110, "pw");
    DiaryWindow& w = openDiary("Ann", "pw");
    writePage("Ann", 1, 110, {"written behind its back"});
    w.firstPageButton->click();
    EXPECT_EQ(w.pageView->text(), "");
    w.nextPageButton->click();
    w.firstPageButton->click();
    EXPECT_EQ(w.pageView->text(), "[1] \twritten behind its back\r\n");
}

TEST_F(DiaryWindowTest, ButtonsLieAboveTheCaptionLabelAndLabelsShowTheirText) {
    makeMember("Ann", 110, "pw");
    DiaryWindow& w = openDiary("Ann", "pw");
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    for (QPushButton* b :
         {w.firstPageButton, w.previousPageButton, w.nextPageButton, w.lastPageButton, w.exitButton, w.commitButton}) {
        const QPoint centre = b->mapTo(&w, b->rect().center());
        EXPECT_EQ(w.childAt(centre), b) << b->objectName().toStdString();
    }
    EXPECT_GE(w.instructionLabel->width(), w.instructionLabel->sizeHint().width());
    // Entries line up after their numbers: a tab stop every eight characters.
    EXPECT_DOUBLE_EQ(w.pageView->tabStopDistance(), 8 * QFontMetricsF(w.pageView->font()).horizontalAdvance(' '));
    // Sized to its text from its corner, wherever the layout has put that.
    const TwipsRect& corner = w.twipsGeometry().instructionLabel;
    EXPECT_EQ(w.instructionLabel->geometry().topLeft(), platform::toPixels({corner.left, corner.top, 0, 0}).topLeft());
}

TEST_F(DiaryWindowTest, TextOfRecordKeepsCrLfOffsets) {
    platform::TextBox box;
    box.setText("[1] \tab\r\n\r\n[2] \tcd\r\n");
    box.select(11, 4); // the offset counts each CR LF as two characters
    EXPECT_EQ(box.selText(), "[2] ");
    EXPECT_EQ(box.textCursor().selectedText(), QStringLiteral("[2] "));
    EXPECT_EQ(platform::TextBox::widgetPosition("a\r\nb", 3), 2);
    EXPECT_EQ(platform::TextBox::recordOffset("a\r\nb", 2), 3u);
}

} // namespace
