#include <QComboBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "platform/qt/Ansi.h"
#include "platform/qt/Label.h"
#include "platform/qt/TextBox.h"
#include "platform/qt/Twips.h"
#include "support/gui/DiaryFixture.h"

namespace {

class DiaryWindow : public DiaryFixture {};

TEST_F(DiaryWindow, LoginShowsPageOneWithItsCaption) {
    MakeMember("Ann", 110, "secret");
    WritePage("Ann", 1, 110, {"first", "", "second", ""});
    Form1& w = OpenDiary("Ann", "SECRET");
    EXPECT_EQ(loginWindowsOpened, 1);
    EXPECT_EQ(w.CurrentPage(), 1);
    EXPECT_EQ(w.Text1->Text(), "[1] \tfirst\r\n\r\n[2] \tsecond\r\n\r\n");
    EXPECT_EQ(w.Label2->text(), "No caption set");
    EXPECT_EQ(w.windowTitle(), "Jotterel of 'Ann'");
    EXPECT_EQ(w.Text1->SelStart(), 0u);
    EXPECT_EQ(w.Text1->SelLength(), w.Text1->Text().size());
}

TEST_F(DiaryWindow, NavigationButtons) {
    MakeMember("Ann", 110, "pw");
    for (int p = 1; p <= 15; ++p) {
        WritePage("Ann", p, 110, {"page " + std::to_string(p)});
    }
    Form1& w = OpenDiary("Ann", "pw");
    struct Step {
        QPushButton* button;
        int page;
    };
    const Step steps[] = {{w.Command1, 1},  {w.Command2, 2},  {w.Command5, 15},
                          {w.Command2, 15}, {w.Command1, 14}, {w.Command6, 1}};
    for (const Step& s : steps) {
        s.button->click();
        EXPECT_EQ(w.CurrentPage(), s.page) << s.button->objectName().toStdString();
        EXPECT_EQ(w.Text1->Text(), "[1] \tpage " + std::to_string(s.page) + "\r\n");
    }
}

TEST_F(DiaryWindow, SelectingTheShownPageDoesNotReload) {
    MakeMember("Ann", 110, "pw");
    Form1& w = OpenDiary("Ann", "pw");
    WritePage("Ann", 1, 110, {"written behind its back"});
    w.Command6->click();
    EXPECT_EQ(w.Text1->Text(), "");
    w.Command2->click();
    w.Command6->click();
    EXPECT_EQ(w.Text1->Text(), "[1] \twritten behind its back\r\n");
}

TEST_F(DiaryWindow, ButtonsLieAboveTheCaptionLabelAndLabelsShowTheirText) {
    MakeMember("Ann", 110, "pw");
    Form1& w = OpenDiary("Ann", "pw");
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    for (QPushButton* b : {w.Command6, w.Command1, w.Command2, w.Command5, w.Command4, w.Command3}) {
        const QPoint centre = b->mapTo(&w, b->rect().center());
        EXPECT_EQ(w.childAt(centre), b) << b->objectName().toStdString();
    }
    EXPECT_GE(w.Label1->width(), w.Label1->sizeHint().width());
    // Entries line up after their numbers: a tab stop every eight characters.
    EXPECT_DOUBLE_EQ(w.Text1->tabStopDistance(), 8 * QFontMetricsF(w.Text1->font()).horizontalAdvance(' '));
    // Sized to its text from its corner, wherever the layout has put that.
    const TwipsRect& corner = w.Geometry().Label1;
    EXPECT_EQ(w.Label1->geometry().topLeft(), platform::TwipsRect(corner.left, corner.top, 0, 0).topLeft());
}

TEST_F(DiaryWindow, TextOfRecordKeepsCrLfOffsets) {
    platform::TextBox box;
    box.SetText("[1] \tab\r\n\r\n[2] \tcd\r\n");
    box.Select(11, 4); // the offset counts each CR LF as two characters
    EXPECT_EQ(box.SelText(), "[2] ");
    EXPECT_EQ(box.textCursor().selectedText(), QStringLiteral("[2] "));
    EXPECT_EQ(platform::TextBox::WidgetPosition("a\r\nb", 3), 2);
    EXPECT_EQ(platform::TextBox::RecordOffset("a\r\nb", 2), 3u);
}

} // namespace
