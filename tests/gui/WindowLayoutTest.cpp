#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "diary/DiaryLayout.h"
#include "platform/qt/Label.h"
#include "platform/qt/PageView.h"
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
    const DiaryGeometry design = DiaryGeometry::designTime();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.W << " x " << c.H);
        DiaryGeometry expected = design;
        if (c.textWidth >= 0) {
            expected.pageView.width = c.textWidth;
            expected.entryBox.width = c.textWidth;
        }
        expected.pageView.height = c.pageHeight;
        expected.instructionLabel.top = c.labelTop;
        expected.entryBox.top = c.entryTop;
        if (c.entryHeight >= 0) {
            expected.entryBox.height = c.entryHeight;
        }
        for (TwipsRect* r :
             {&expected.pageSelector, &expected.previousPageButton, &expected.nextPageButton, &expected.commitButton,
              &expected.exitButton, &expected.lastPageButton, &expected.firstPageButton}) {
            r->top = c.rowTop;
        }
        expected.commitButton.left = c.commitLeft;
        expected.exitButton.left = c.exitLeft;
        expected.captionLabel.top = c.captionTop;
        EXPECT_EQ(diaryLayout(c.W, c.H, design), expected);
    }
}

TEST(WindowLayout, KeepsTheSizesOfTheLastWindowThatFitted) {
    const DiaryGeometry large = diaryLayout(12000, 10000, DiaryGeometry::designTime());
    const DiaryGeometry tiny = diaryLayout(300, 1500, large);
    EXPECT_EQ(tiny.pageView.width, 11500);
    EXPECT_EQ(tiny.entryBox.height, 2115);
    EXPECT_EQ(tiny.pageView.height, 900);
    EXPECT_EQ(tiny.pageSelector.top, 60 + 900 + 100 + 225 + 100 + 2115 + 200);
    EXPECT_EQ(diaryLayout(12000, 10000, tiny), large);
}

class WindowResize : public DiaryFixture {};

TEST_F(WindowResize, ControlsFollowTheWindow) {
    makeMember("Ann", 110, "pw");
    DiaryWindow& w = openDiary("Ann", "pw");
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

    auto outerTwips = [&] {
        return std::pair(platform::pixelsToTwipsX(w.frameGeometry().width()),
                         platform::pixelsToTwipsY(w.frameGeometry().height()));
    };
    auto placedBy = [&](const DiaryGeometry& g) {
        return w.pageView->geometry() == platform::toPixels(g.pageView) &&
               w.entryBox->geometry() == platform::toPixels(g.entryBox) &&
               w.commitButton->geometry() == platform::toPixels(g.commitButton) &&
               w.captionLabel->geometry() == platform::toPixels(g.captionLabel);
    };
    // Laid out when first shown.
    {
        const auto [W, H] = outerTwips();
        EXPECT_EQ(w.twipsGeometry(), diaryLayout(W, H, DiaryGeometry::designTime()));
        EXPECT_TRUE(placedBy(w.twipsGeometry()));
    }
    const QRect before = w.pageView->geometry();
    for (const QSize size : {QSize(900, 700), QSize(420, 300)}) {
        w.resize(size);
        ASSERT_TRUE(QTest::qWaitFor([&] { return w.size() == size; }));
        const auto [W, H] = outerTwips();
        EXPECT_DOUBLE_EQ(w.twipsGeometry().pageView.height, H * 0.6);
        EXPECT_DOUBLE_EQ(w.twipsGeometry().pageView.width, W - 500);
        EXPECT_DOUBLE_EQ(w.twipsGeometry().commitButton.left + w.twipsGeometry().commitButton.width,
                         w.twipsGeometry().pageView.left + w.twipsGeometry().pageView.width);
        EXPECT_DOUBLE_EQ(w.twipsGeometry().commitButton.left - w.twipsGeometry().exitButton.left -
                             w.twipsGeometry().exitButton.width,
                         300);
        EXPECT_TRUE(placedBy(w.twipsGeometry()));
        EXPECT_NE(w.pageView->geometry(), before);
    }
}

TEST_F(WindowResize, ExitButtonLiesAboveTheCaptionLabel) {
    makeMember("Ann", 110, "pw");
    DiaryWindow& w = openDiary("Ann", "pw");
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    // At the designed size the end of the caption label runs under the Exit button.
    const QRect overlap = w.captionLabel->geometry().intersected(w.exitButton->geometry());
    ASSERT_FALSE(overlap.isEmpty());
    EXPECT_EQ(w.exitButton->parentWidget()->childAt(overlap.center()), w.exitButton);
}

} // namespace
