#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <cerrno>
#include <gtest/gtest.h>

#include "platform/core/Clock.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Native.h"
#include "platform/core/Paths.h"
#include "platform/qt/Label.h"
#include "platform/qt/PageView.h"
#include "platform/qt/TextBox.h"
#include "support/gui/DiaryFixture.h"

namespace {

constexpr int kKey = 113;

// Each byte of text raised by the member key, written out here rather than through the codec.
std::string enciphered(std::string_view text) {
    std::string out;
    for (char c : text) {
        out += static_cast<char>(static_cast<unsigned char>(c) + kKey);
    }
    return out;
}

// A member "Ann" logged in with the main window shown and active, and the clock fixed.
class Commit : public DiaryFixture {
protected:
    Commit() {
        setTime({2026, 12, 7, 21, 5, 0});
        makeMember("Ann", kKey, "pw");
    }
    ~Commit() override { platform::setClock(nullptr); }

    static void setTime(platform::LocalTime t) {
        platform::setClock([t] { return t; });
    }

    DiaryWindow& open() {
        DiaryWindow& w = openDiary("Ann", "pw");
        w.show();
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        w.entryBox->setFocus();
        return w;
    }

    // The question for page, answered with answer; while it is up the pointer is busy.
    void expectQuestion(DiaryWindow& w, int page, int answer) {
        ui.expectMsgBox("Save the typed text to page " + std::to_string(page) + "?", 52, "Jotterel", answer)
            .whileShown = [&w] { EXPECT_EQ(w.cursor().shape(), Qt::WaitCursor); };
    }

    static bool pointerIsDefault(const DiaryWindow& w) { return w.cursor().shape() == Qt::ArrowCursor; }
};

TEST_F(Commit, EnterCommitsWhatWasTyped) {
    DiaryWindow& w = open();
    QTest::keyClicks(w.entryBox, "Went to the market, then home");
    expectQuestion(w, 1, platform::vbYes);
    QTest::keyClick(w.entryBox, Qt::Key_Return);
    ASSERT_TRUE(ui.done());

    const std::string stored = "Went to the market; then home (07Dec26, 09:05PM)";
    EXPECT_EQ(fixture::readBytes(pageFile("Ann", 1)), enciphered(stored) + "\r\n\r\n");
    EXPECT_TRUE(fixture::isHidden(pageFile("Ann", 1)));
    EXPECT_EQ(w.pageView->text(), "[1] \t" + stored + "\r\n\r\n");
    EXPECT_EQ(w.pageView->toPlainText(), QString::fromStdString("[1] \t" + stored + "\n\n"));
    EXPECT_EQ(w.pageView->selStart(), 0u);
    EXPECT_EQ(w.pageView->selLength(), w.pageView->text().size());
    EXPECT_EQ(w.entryBox->text(), "");
    EXPECT_EQ(w.entryBox->toPlainText(), "");
    EXPECT_EQ(QApplication::focusWidget(), w.entryBox);
    EXPECT_TRUE(pointerIsDefault(w));
}

TEST_F(Commit, CtrlEnterStartsANewLineThatIsStoredAsItsCarriageReturn) {
    DiaryWindow& w = open();
    QTest::keyClicks(w.entryBox, "one");
    QTest::keyClick(w.entryBox, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClicks(w.entryBox, "two");
    EXPECT_TRUE(ui.shown().empty()); // no question yet
    EXPECT_EQ(w.entryBox->text(), "one\r\ntwo");
    EXPECT_EQ(w.entryBox->document()->blockCount(), 2);

    expectQuestion(w, 1, platform::vbYes);
    QTest::keyClick(w.entryBox, Qt::Key_Enter); // the keypad's Enter commits too
    ASSERT_TRUE(ui.done());
    const std::string stored = "one\r two (07Dec26, 09:05PM)";
    EXPECT_EQ(fixture::readBytes(pageFile("Ann", 1)), enciphered(stored) + "\r\n\r\n");
    EXPECT_EQ(w.pageView->text(), "[1] \t" + stored + "\r\n\r\n");
}

TEST_F(Commit, EnterGoesToTheFocusedButtonElseCommits) {
    struct Case {
        const char* what;
        QWidget* (*focus)(DiaryWindow&);
        bool commits;
        int pageAfter;
    };
    const Case cases[] = {
        {"entry box", [](DiaryWindow& w) -> QWidget* { return w.entryBox; }, true, 1},
        {"page view", [](DiaryWindow& w) -> QWidget* { return w.pageView; }, true, 1},
        {"page selector", [](DiaryWindow& w) -> QWidget* { return w.pageSelector; }, true, 1},
        {"\">\" button", [](DiaryWindow& w) -> QWidget* { return w.nextPageButton; }, false, 2},
        {"Commit button", [](DiaryWindow& w) -> QWidget* { return w.commitButton; }, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DiaryWindow& w = open();
        w.entryBox->setText("typed");
        QWidget* target = c.focus(w);
        target->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), target);
        if (c.commits) {
            expectQuestion(w, 1, platform::vbNo);
        }
        QTest::keyClick(target, Qt::Key_Return);
        EXPECT_TRUE(ui.done());
        EXPECT_EQ(w.currentPage(), c.pageAfter);
        EXPECT_EQ(w.entryBox->text(), "typed");
    }
}

TEST_F(Commit, ReplacementsQuestionAndAnswers) {
    struct Case {
        const char* what;
        std::string text;       // the entry box's text of record
        int answer;             // 0: no question expected
        std::string boxAfter;   // the entry box afterwards
        std::string storedText; // empty: nothing written
    };
    const Case cases[] = {
        {"plain, Yes", "Hello", platform::vbYes, "", "Hello (07Dec26, 09:05PM)"},
        {"commas, No", "apples, pears", platform::vbNo, "apples; pears", ""},
        {"commas, Yes", "a,b,,c", platform::vbYes, "", "a;b;;c (07Dec26, 09:05PM)"},
        {"blanks only", "   ", platform::vbYes, "", "    (07Dec26, 09:05PM)"},
        {"line breaks", "a\r\nb\nc\r", platform::vbYes, "", "a\r b c\r (07Dec26, 09:05PM)"},
        {"line breaks, No", "x,y\r\nz", platform::vbNo, "x;y\r z", ""},
        {"a lone line feed", "\n", platform::vbYes, "", "  (07Dec26, 09:05PM)"},
        {"quotes and tabs", "say \"hi\"\tthen", platform::vbYes, "", "say \"hi\"\tthen (07Dec26, 09:05PM)"},
        {"empty", "", 0, "", ""},
    };
    DiaryWindow& w = open();
    w.nextPageButton->click();
    w.nextPageButton->click(); // page 3
    std::string file;
    std::string view;
    int entries = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        w.entryBox->setText(c.text);
        if (c.answer == 0) {
            ui.expectBeep();
        } else {
            expectQuestion(w, 3, c.answer);
        }
        w.commitButton->click();
        EXPECT_TRUE(ui.done());
        EXPECT_EQ(w.entryBox->text(), c.boxAfter);
        if (!c.storedText.empty()) {
            file += enciphered(c.storedText) + "\r\n\r\n";
            view += "[" + std::to_string(++entries) + "] \t" + c.storedText + "\r\n\r\n";
        }
        EXPECT_EQ(fixture::readBytes(pageFile("Ann", 3)), file);
        EXPECT_EQ(w.pageView->text(), view);
        EXPECT_TRUE(pointerIsDefault(w));
    }
    EXPECT_EQ(fixture::readBytes(pageFile("Ann", 1)), "");
}

TEST_F(Commit, TimeStamps) {
    struct Case {
        platform::LocalTime at;
        const char* stamp;
    };
    const Case cases[] = {
        {{2026, 12, 7, 0, 30, 0}, " (07Dec26, 12:30AM)"},
        {{2026, 12, 7, 12, 0, 0}, " (07Dec26, 12:00PM)"},
        {{2005, 3, 1, 9, 5, 59}, " (01Mar05, 09:05AM)"},
        {{2099, 1, 31, 23, 59, 0}, " (31Jan99, 11:59PM)"},
    };
    DiaryWindow& w = open();
    std::string view;
    int n = 0;
    for (const Case& c : cases) {
        setTime(c.at);
        w.entryBox->setText("e");
        expectQuestion(w, 1, platform::vbYes);
        w.commitButton->click();
        view += "[" + std::to_string(++n) + "] \te" + c.stamp + "\r\n\r\n";
    }
    EXPECT_EQ(w.pageView->text(), view);
}

TEST_F(Commit, AfterEarlierEntriesTheNewOneIsLast) {
    writePage("Ann", 2, kKey, {"old one", "", "old two", ""});
    DiaryWindow& w = open();
    w.nextPageButton->click();
    w.entryBox->setText("new");
    expectQuestion(w, 2, platform::vbYes);
    w.commitButton->click();
    EXPECT_EQ(w.pageView->text(), "[1] \told one\r\n\r\n[2] \told two\r\n\r\n[3] \tnew (07Dec26, 09:05PM)\r\n\r\n");
}

TEST_F(Commit, FileFailureKeepsTheTextAndThePage) {
    struct Case {
        const char* what;
        std::function<void()> arrange;
        std::string reason;
    };
    const Case cases[] = {
        {"page file removed", [this] { platform::deleteFile(pageFile("Ann", 1)); }, platform::errorText(ENOENT)},
        {"disk full part-way", [] {}, platform::errorText(platform::native::fullDiskError())},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writePage("Ann", 1, kKey, {"kept", ""});
        DiaryWindow& w = open();
        c.arrange();
        const bool existed = platform::pathExists(pageFile("Ann", 1));
        const std::string before = existed ? fixture::readBytes(pageFile("Ann", 1)) : "";
        const fixture::DiskFullAfter full(5); // a few bytes of the entry reach the disk
        w.entryBox->setText("lost, or not");
        expectQuestion(w, 1, platform::vbYes);
        ui.expectMsgBox("The entry cannot be saved to page 1. The page is as it was, and the text stays in the entry "
                        "box.\r\r" +
                            pageFile("Ann", 1) + "\r" + c.reason,
                        48, "Jotterel");
        w.commitButton->click();
        EXPECT_TRUE(ui.done());
        EXPECT_EQ(w.entryBox->text(), "lost; or not");
        EXPECT_EQ(platform::pathExists(pageFile("Ann", 1)), existed);
        if (existed) {
            EXPECT_EQ(fixture::readBytes(pageFile("Ann", 1)), before);
            EXPECT_TRUE(fixture::isHidden(pageFile("Ann", 1)));
        }
        EXPECT_EQ(w.pageView->text(), "[1] \tkept\r\n\r\n");
        EXPECT_TRUE(pointerIsDefault(w));
    }
}

TEST_F(Commit, MissingPageDuringPageSelectionLeavesAUsableEmptyView) {
    writePage("Ann", 1, kKey, {"one", ""});
    DiaryWindow& w = open();
    QTest::keyClicks(w.entryBox, "draft");
    platform::deleteFile(pageFile("Ann", 2));
    ui.expectMsgBox("Page 2 cannot be shown.\r\r" + pageFile("Ann", 2) + "\r" + platform::errorText(ENOENT), 48,
                    "Jotterel");
    w.nextPageButton->click();
    EXPECT_TRUE(ui.done());
    EXPECT_EQ(w.currentPage(), 2);
    EXPECT_EQ(w.pageView->text(), "");
    EXPECT_EQ(w.captionLabel->text(), "No caption set");
    EXPECT_EQ(w.entryBox->text(), "draft"); // the entry box keeps its text
    EXPECT_EQ(QApplication::focusWidget(), w.entryBox);

    fixture::writeBytes(pageFile("Ann", 3), "plain\r\n"); // cannot be deciphered
    ui.expectMsgBox("Page 3 cannot be shown.\r\rLine 1 of the page file cannot be deciphered under this member's key.",
                    48, "Jotterel");
    w.nextPageButton->click();
    EXPECT_TRUE(ui.done());
    EXPECT_EQ(w.pageView->text(), "");

    w.firstPageButton->click(); // other pages still show
    EXPECT_EQ(w.pageView->text(), "[1] \tone\r\n\r\n");
}

} // namespace
