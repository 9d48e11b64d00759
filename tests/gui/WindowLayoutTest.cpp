#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "diary/Form1Layout.h"
#include "platform/qt/Label.h"
#include "platform/qt/TextBox.h"
#include "platform/qt/Twips.h"
#include "support/gui/DiaryFixture.h"

namespace {

TEST(WindowLayout, FollowsTheOuterSize) {
    struct Case {
        double W, H;
        // What the layout sets; everything else keeps its designed place and size.
        double textWidth, pageHeight, labelTop, entryTop, entryHeight, rowTop, commitLeft, exitLeft, captionTop;
    };
    const Case cases[] = {
        {9000, 6000, 8500, 3600, 3760, 4085, 515, 4800, 7680, 6380, 4830},
        {12000, 10000, 11500, 6000, 6160, 6485, 2115, 8800, 10680, 9380, 8830},
        {500, 6000, 0, 3600, 3760, 4085, 515, 4800, -820, -2120, 4830},
        // Too narrow: the widths stay and Commit lines up with the page view as it is.
        {400, 6000, -1, 3600, 3760, 4085, 515, 4800, 7240, 5940, 4830},
        // Too low for the entry box: its height stays and the row goes below it.
        {9000, 2000, 8500, 1200, 1360, 1685, -1, 2740, 7680, 6380, 2770},
        // Minimised to nothing.
        {0, 0, -1, 0, 160, 485, -1, 1540, 7240, 5940, 1570},
    };
    const Form1Geometry design = Form1Geometry::DesignTime();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.W << " x " << c.H);
        Form1Geometry expected = design;
        if (c.textWidth >= 0) {
            expected.Text1.width = c.textWidth;
            expected.Text2.width = c.textWidth;
        }
        expected.Text1.height = c.pageHeight;
        expected.Label1.top = c.labelTop;
        expected.Text2.top = c.entryTop;
        if (c.entryHeight >= 0) {
            expected.Text2.height = c.entryHeight;
        }
        for (TwipsRect* r : {&expected.Combo1, &expected.Command1, &expected.Command2, &expected.Command3,
                             &expected.Command4, &expected.Command5, &expected.Command6}) {
            r->top = c.rowTop;
        }
        expected.Command3.left = c.commitLeft;
        expected.Command4.left = c.exitLeft;
        expected.Label2.top = c.captionTop;
        EXPECT_EQ(Form1Layout(c.W, c.H, design), expected);
    }
}

TEST(WindowLayout, KeepsTheSizesOfTheLastWindowThatFitted) {
    const Form1Geometry large = Form1Layout(12000, 10000, Form1Geometry::DesignTime());
    const Form1Geometry tiny = Form1Layout(300, 1500, large);
    EXPECT_EQ(tiny.Text1.width, 11500);
    EXPECT_EQ(tiny.Text2.height, 2115);
    EXPECT_EQ(tiny.Text1.height, 900);
    EXPECT_EQ(tiny.Combo1.top, 60 + 900 + 100 + 225 + 100 + 2115 + 200);
    EXPECT_EQ(Form1Layout(12000, 10000, tiny), large);
}

class WindowResize : public DiaryFixture {};

TEST_F(WindowResize, ControlsFollowTheWindow) {
    MakeMember("Ann", 110, "pw");
    Form1& w = OpenDiary("Ann", "pw");
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

    auto outerTwips = [&] {
        return std::pair(platform::PixelsToTwipsX(w.frameGeometry().width()),
                         platform::PixelsToTwipsY(w.frameGeometry().height()));
    };
    auto placedBy = [&](const Form1Geometry& g) {
        return w.Text1->geometry() == platform::TwipsRect(g.Text1.left, g.Text1.top, g.Text1.width, g.Text1.height) &&
               w.Text2->geometry() == platform::TwipsRect(g.Text2.left, g.Text2.top, g.Text2.width, g.Text2.height) &&
               w.Command3->geometry() ==
                   platform::TwipsRect(g.Command3.left, g.Command3.top, g.Command3.width, g.Command3.height) &&
               w.Label2->geometry() ==
                   platform::TwipsRect(g.Label2.left, g.Label2.top, g.Label2.width, g.Label2.height);
    };
    // Laid out when first shown.
    {
        const auto [W, H] = outerTwips();
        EXPECT_EQ(w.Geometry(), Form1Layout(W, H, Form1Geometry::DesignTime()));
        EXPECT_TRUE(placedBy(w.Geometry()));
    }
    const QRect before = w.Text1->geometry();
    for (const QSize size : {QSize(900, 700), QSize(420, 300)}) {
        w.resize(size);
        ASSERT_TRUE(QTest::qWaitFor([&] { return w.size() == size; }));
        const auto [W, H] = outerTwips();
        EXPECT_DOUBLE_EQ(w.Geometry().Text1.height, H * 0.6);
        EXPECT_DOUBLE_EQ(w.Geometry().Text1.width, W - 500);
        EXPECT_DOUBLE_EQ(w.Geometry().Command3.left + w.Geometry().Command3.width,
                         w.Geometry().Text1.left + w.Geometry().Text1.width);
        EXPECT_DOUBLE_EQ(w.Geometry().Command3.left - w.Geometry().Command4.left - w.Geometry().Command4.width, 300);
        EXPECT_TRUE(placedBy(w.Geometry()));
        EXPECT_NE(w.Text1->geometry(), before);
    }
}

TEST_F(WindowResize, ExitButtonLiesAboveTheCaptionLabel) {
    MakeMember("Ann", 110, "pw");
    Form1& w = OpenDiary("Ann", "pw");
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    // At the designed size the end of the caption label runs under the Exit button.
    const QRect overlap = w.Label2->geometry().intersected(w.Command4->geometry());
    ASSERT_FALSE(overlap.isEmpty());
    EXPECT_EQ(w.Command4->parentWidget()->childAt(overlap.center()), w.Command4);
}

} // namespace
