#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

#include "platform/qt/PageView.h"
#include "platform/qt/QtText.h"
#include "platform/qt/WindowFont.h"
#include "support/gui/QtPrinters.h"

namespace {

// A page view the size of the diary window's, in the page view's font, shown and focused.
class PageViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        view.setFont(platform::namedFont("Courier New", 9));
        view.resize(540, 240);
        view.show();
        view.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
        view.setFocus();
    }

    void show(const std::string& text) {
        view.setText(text);
        view.viewport()->repaint();
    }
    // A point inside the character at offset, left of its middle.
    QPoint pointAt(std::size_t offset) {
        const QRect r = view.offsetRect(offset);
        return {r.left() + 1, r.center().y()};
    }
    // The first offset after from that is drawn on a lower row.
    std::size_t nextRowStart(std::size_t from) {
        const int y = view.offsetRect(from).top();
        std::size_t offset = from;
        while (offset < view.length() && view.offsetRect(offset).top() == y) {
            ++offset;
        }
        return offset;
    }

    platform::PageView view;
};

TEST_F(PageViewTest, OffsetsCountTheTextOfRecordInUtf16Units) {
    struct Case {
        const char* what;
        std::string text;
        std::size_t length;
        std::size_t lines;
        std::size_t start, count;        // what is asked to be selected
        std::size_t selStart, selLength; // what is selected
        std::string selected;
    };
    const Case cases[] = {
        {"a CR LF is two", "ab\r\ncd", 6, 2, 4, 2, 4, 2, "cd"},
        {"the CR LF itself", "ab\r\ncd", 6, 2, 2, 2, 2, 2, "\r\n"},
        {"between CR and LF: after the pair", "ab\r\ncd", 6, 2, 3, 1, 4, 0, ""},
        {"a character beyond the basic plane is two",
         "a\xF0\x9F\x98\x80"
         "b",
         4, 1, 1, 2, 1, 2, "\xF0\x9F\x98\x80"},
        {"between its halves: after it",
         "a\xF0\x9F\x98\x80"
         "b",
         4, 1, 2, 1, 3, 0, ""},
        {"an accented letter is one", "K\xC3\xB6ln", 4, 1, 1, 1, 1, 1, "\xC3\xB6"},
        {"lone CR and lone LF are one each and kept", "x\ry\nz", 5, 3, 1, 3, 1, 3, "\ry\n"},
        {"a count past the end stops at the end", "abc\r\n", 5, 2, 1, 100, 1, 4, "bc\r\n"},
        {"a start past the end is the end", "abc", 3, 1, 7, 1, 3, 0, ""},
        {"an empty text", "", 0, 1, 0, 5, 0, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        show(c.text);
        EXPECT_EQ(view.text(), c.text);
        EXPECT_EQ(view.length(), c.length);
        EXPECT_EQ(view.lineCount(), c.lines);
        EXPECT_EQ(view.selStart(), 0u); // a new text starts with nothing selected
        EXPECT_EQ(view.selLength(), 0u);
        view.select(c.start, c.count);
        EXPECT_EQ(view.selStart(), c.selStart);
        EXPECT_EQ(view.selLength(), c.selLength);
        EXPECT_EQ(view.selText(), c.selected);
        view.selectAll();
        EXPECT_EQ(view.selLength(), c.length);
        EXPECT_EQ(view.selText(), c.text);
    }
    show("one\r\ntwo\rthree\nfour");
    EXPECT_EQ(view.toPlainText(), "one\ntwo\nthree\nfour");
}

TEST_F(PageViewTest, KeysMoveAndExtendTheSelection) {
    // "one two" 0-7, its CR LF 7-9, "three four" 9-19, CR LF, "five" 21-25.
    const std::string text = "one two\r\nthree four\r\nfive";
    struct Case {
        const char* what;
        std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys;
        std::size_t selStart, selLength;
    };
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Case cases[] = {
        {"Right thrice", {{Qt::Key_Right, none}, {Qt::Key_Right, none}, {Qt::Key_Right, none}}, 3, 0},
        {"Shift+End", {{Qt::Key_End, Qt::ShiftModifier}}, 0, 7},
        {"End, then Right past the CR LF", {{Qt::Key_End, none}, {Qt::Key_Right, none}}, 9, 0},
        {"Left from a line start goes before the CR LF", {{Qt::Key_Down, none}, {Qt::Key_Left, none}}, 7, 0},
        {"Shift+Down keeps the column", {{Qt::Key_Right, none}, {Qt::Key_Down, Qt::ShiftModifier}}, 1, 9},
        {"Ctrl+End, Shift+Left", {{Qt::Key_End, Qt::ControlModifier}, {Qt::Key_Left, Qt::ShiftModifier}}, 24, 1},
        {"Ctrl+Shift+End", {{Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier}}, 0, 25},
        {"Ctrl+End, Ctrl+Shift+Home",
         {{Qt::Key_End, Qt::ControlModifier}, {Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier}},
         0,
         25},
        {"Ctrl+Shift+Right takes a word", {{Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier}}, 0, 4},
        {"Home goes back to the line's start",
         {{Qt::Key_Down, none}, {Qt::Key_Right, none}, {Qt::Key_Home, none}},
         9,
         0},
        {"Ctrl+A", {{Qt::Key_A, Qt::ControlModifier}}, 0, 25},
        {"Page Down with Shift", {{Qt::Key_PageDown, Qt::ShiftModifier}}, 0, 21},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        show(text);
        for (const auto& [key, modifiers] : c.keys) {
            QTest::keyClick(&view, key, modifiers);
        }
        EXPECT_EQ(view.selStart(), c.selStart);
        EXPECT_EQ(view.selLength(), c.selLength);
    }
}

TEST_F(PageViewTest, TheMouseSelectsByCharacterWordAndWithShift) {
    show("one two\r\nthree four\r\nfive");
    QWidget* vp = view.viewport();
    QTest::mouseClick(vp, Qt::LeftButton, {}, pointAt(9));
    EXPECT_EQ(view.selStart(), 9u);
    EXPECT_EQ(view.selLength(), 0u);
    QTest::mouseClick(vp, Qt::LeftButton, Qt::ShiftModifier, pointAt(15));
    EXPECT_EQ(view.selText(), "three ");

    // A drag from the first character to the fourth.
    QTest::mousePress(vp, Qt::LeftButton, {}, pointAt(0));
    QMouseEvent move(QEvent::MouseMove, pointAt(3), vp->mapToGlobal(pointAt(3)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(vp, &move);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, pointAt(3));
    EXPECT_EQ(view.selText(), "one");

    QTest::mouseDClick(vp, Qt::LeftButton, {}, pointAt(11));
    EXPECT_EQ(view.selText(), "three");
    EXPECT_EQ(view.selStart(), 9u);

    // A third click takes the whole line with its line end.
    QTest::mouseClick(vp, Qt::LeftButton, {}, pointAt(11));
    EXPECT_EQ(view.selText(), "three four\r\n");

    // A click on the selection that drags nothing out puts the caret there.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QTest::mouseClick(vp, Qt::LeftButton, {}, pointAt(12));
    EXPECT_EQ(view.selStart(), 12u);
    EXPECT_EQ(view.selLength(), 0u);
}

TEST_F(PageViewTest, CopyGivesTheSelectionWithEachLineEndALineFeed) {
    show("one two\r\nthree\rfour");
    view.select(4, 11);
    ASSERT_EQ(view.selText(), "two\r\nthree\r");
    QApplication::clipboard()->clear();
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "two\nthree\n");

    // The context menu offers Copy and Select All, as a read-only text box does.
    QStringList offered;
    auto openMenuAndTrigger = [&](const char* action) {
        QTimer::singleShot(0, [&offered, action] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu) {
                return;
            }
            offered.clear();
            for (QAction* a : menu->actions()) {
                offered << a->objectName();
            }
            if (QAction* a = menu->findChild<QAction*>(QString::fromLatin1(action))) {
                a->trigger();
            }
            menu->close();
        });
        const QPoint at = pointAt(1);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, view.viewport()->mapToGlobal(at));
        QApplication::sendEvent(view.viewport(), &event);
    };
    openMenuAndTrigger("select-all");
    EXPECT_EQ(offered, QStringList({"edit-copy", "", "select-all"}));
    EXPECT_EQ(view.selLength(), view.length());
    QApplication::clipboard()->clear();
    openMenuAndTrigger("edit-copy");
    EXPECT_EQ(QApplication::clipboard()->text(), "one two\nthree\nfour");
}

TEST_F(PageViewTest, LongLinesWrapAtWordsAndLongWordsAnywhere) {
    std::string words;
    for (int i = 0; i < 40; ++i) {
        words += "word" + std::to_string(i) + " ";
    }
    show(words + "\r\n" + std::string(300, 'w'));
    // The first line wraps, each row starting with a word.
    const std::size_t second = nextRowStart(0);
    ASSERT_LT(second, words.size());
    EXPECT_EQ(words[second - 1], ' ') << second;
    EXPECT_EQ(view.offsetRect(second).left(), view.offsetRect(0).left());
    // The word of 300 letters wraps wherever a row is full.
    const std::size_t word = words.size() + 2;
    const std::size_t cut = nextRowStart(word);
    EXPECT_GT(cut, word + 10);
    EXPECT_LT(cut, word + 300);
    EXPECT_EQ(view.offsetRect(cut).left(), view.offsetRect(word).left());

    // A narrower view wraps the same line into more rows.
    view.resize(300, 240);
    view.viewport()->repaint();
    EXPECT_LT(nextRowStart(0), second);

    // A word of a megabyte shows at once, wrapped where the rows are full.
    show(std::string(1 << 20, 'w'));
    const std::size_t row = nextRowStart(0);
    EXPECT_GT(row, 10u);
    EXPECT_EQ(nextRowStart(row), 2 * row);
}

TEST_F(PageViewTest, AMillionLinesAreLaidOutOnlyWhereTheyShow) {
    std::string text;
    for (int i = 0; i < 1000000; ++i) {
        text += "[" + std::to_string(i + 1) + "] \tline " + std::to_string(i) + "\r\n";
    }
    const std::size_t before = view.linesLaidOut();
    show(text);
    const std::size_t shown = view.linesLaidOut() - before;
    EXPECT_GT(shown, 5u);
    EXPECT_LT(shown, 100u);
    EXPECT_EQ(view.lineCount(), 1000001u);

    // A selection deep in the text comes into view, laying out only what it needs.
    const std::string hit = "[765433] \tline 765432";
    const std::size_t offset = text.find(hit);
    view.select(offset, hit.size());
    view.viewport()->repaint();
    EXPECT_EQ(view.selText(), hit);
    const QRect r = view.offsetRect(offset + hit.size() - 1);
    EXPECT_FALSE(r.isEmpty());
    EXPECT_TRUE(view.viewport()->rect().contains(r));
    EXPECT_GT(view.verticalScrollBar()->value(), 765000);

    // Painting again, and a new width, lay out only the lines on screen.
    const std::size_t steady = view.linesLaidOut();
    view.viewport()->repaint();
    EXPECT_EQ(view.linesLaidOut(), steady);
    view.resize(400, 240);
    view.viewport()->repaint();
    EXPECT_LT(view.linesLaidOut() - steady, 100u);

    // The whole text selected, as after a page is shown: its end is in view.
    view.selectAll();
    view.viewport()->repaint();
    EXPECT_EQ(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());
    EXPECT_TRUE(view.viewport()->rect().contains(view.offsetRect(view.length())));
    EXPECT_LT(view.linesLaidOut() - steady, 200u);
}

TEST_F(PageViewTest, WheelAndScrollBarStepScrollByRows) {
    std::string text;
    for (int i = 0; i < 200; ++i) {
        text += "line " + std::to_string(i) + "\r\n";
    }
    show(text);
    const int rowHeight = view.offsetRect(text.find("line 1")).top() - view.offsetRect(0).top();
    ASSERT_GT(rowHeight, 0);
    view.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(view.verticalScrollBar()->value(), 1);
    EXPECT_TRUE(view.offsetRect(0).isEmpty()); // scrolled off
    QTest::keyClick(&view, Qt::Key_PageDown);
    EXPECT_GT(view.verticalScrollBar()->value(), 5);
}

TEST_F(PageViewTest, FocusComesByClickAndTabAndLeavesByTab) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* before = new QLineEdit(&window);
    auto* page = new platform::PageView(&window);
    auto* after = new QLineEdit(&window);
    layout->addWidget(before);
    layout->addWidget(page);
    layout->addWidget(after);
    page->setText("some text");
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    before->setFocus();
    QTest::keyClick(before, Qt::Key_Tab);
    EXPECT_TRUE(page->hasFocus());
    QTest::keyClick(page, Qt::Key_Tab);
    EXPECT_TRUE(after->hasFocus());
    QTest::mouseClick(page->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(page->hasFocus());
}

TEST_F(PageViewTest, ScreenReadersGetTheTextTheSelectionAndTheCaret) {
    view.setAccessibleName("Entries of this page");
    show("[1] \tK\xC3\xB6ln\r\n\r\n[2] \t\xF0\x9F\x98\x80 party\r\n");
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&view);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::EditableText);
    EXPECT_EQ(iface->text(QAccessible::Name), "Entries of this page");
    EXPECT_TRUE(iface->state().readOnly);
    QAccessibleTextInterface* text = iface->textInterface();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->characterCount(), static_cast<int>(view.length()));
    EXPECT_EQ(text->text(0, text->characterCount()), platform::toQString(view.text()));

    view.select(5, 4);
    int start = -1;
    int end = -1;
    ASSERT_EQ(text->selectionCount(), 1);
    text->selection(0, &start, &end);
    EXPECT_EQ(start, 5);
    EXPECT_EQ(end, 9);
    EXPECT_EQ(text->cursorPosition(), 9);
    EXPECT_EQ(text->text(start, end), QString::fromUtf8("K\xC3\xB6ln"));
    EXPECT_EQ(text->textAtOffset(6, QAccessible::WordBoundary, &start, &end), QString::fromUtf8("K\xC3\xB6ln"));
    EXPECT_EQ(text->textAtOffset(15, QAccessible::LineBoundary, &start, &end),
              QString::fromUtf8("[2] \t\xF0\x9F\x98\x80 party\r\n"));
    EXPECT_EQ(text->textAtOffset(18, QAccessible::CharBoundary, &start, &end), QString::fromUtf8("\xF0\x9F\x98\x80"));

    text->setSelection(0, 0, 3);
    EXPECT_EQ(view.selText(), "[1]");
    EXPECT_FALSE(text->characterRect(1).isEmpty());
}

} // namespace
