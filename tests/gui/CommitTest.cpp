#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <gtest/gtest.h>

#include "platform/core/Clock.h"
#include "platform/core/FileSystem.h"
#include "platform/qt/Label.h"
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
        SetTime({2026, 12, 7, 21, 5, 0});
        MakeMember("Ann", kKey, "pw");
    }
    ~Commit() override { platform::SetClock(nullptr); }

    static void SetTime(platform::LocalTime t) {
        platform::SetClock([t] { return t; });
    }

    Form1& open() {
        Form1& w = OpenDiary("Ann", "pw");
        w.show();
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        w.Text2->setFocus();
        return w;
    }

    // The question for page, answered with answer; while it is up the pointer is busy.
    void expectQuestion(Form1& w, int page, int answer) {
        ui.ExpectMsgBox("Save the typed text to page " + std::to_string(page) + "?", 52, "Jotterel", answer)
            .whileShown = [&w] { EXPECT_EQ(w.cursor().shape(), Qt::WaitCursor); };
    }

    static bool pointerIsDefault(const Form1& w) { return w.cursor().shape() == Qt::ArrowCursor; }
};

TEST_F(Commit, EnterCommitsWhatWasTyped) {
    Form1& w = open();
    QTest::keyClicks(w.Text2, "Went to the market, then home");
    expectQuestion(w, 1, platform::vbYes);
    QTest::keyClick(w.Text2, Qt::Key_Return);
    ASSERT_TRUE(ui.Done());

    const std::string stored = "Went to the market; then home (07Dec26, 09:05PM)";
    EXPECT_EQ(fixture::ReadBytes(PageFile("Ann", 1)), enciphered(stored) + "\r\n\r\n");
    EXPECT_TRUE(fixture::IsHidden(PageFile("Ann", 1)));
    EXPECT_EQ(w.Text1->Text(), "[1] \t" + stored + "\r\n\r\n");
    EXPECT_EQ(w.Text1->toPlainText(), QString::fromStdString("[1] \t" + stored + "\n\n"));
    EXPECT_EQ(w.Text1->SelStart(), 0u);
    EXPECT_EQ(w.Text1->SelLength(), w.Text1->Text().size());
    EXPECT_EQ(w.Text2->Text(), "");
    EXPECT_EQ(w.Text2->toPlainText(), "");
    EXPECT_EQ(QApplication::focusWidget(), w.Text2);
    EXPECT_TRUE(pointerIsDefault(w));
}

TEST_F(Commit, CtrlEnterStartsANewLineThatIsStoredAsItsCarriageReturn) {
    Form1& w = open();
    QTest::keyClicks(w.Text2, "one");
    QTest::keyClick(w.Text2, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClicks(w.Text2, "two");
    EXPECT_TRUE(ui.Shown().empty()); // no question yet
    EXPECT_EQ(w.Text2->Text(), "one\r\ntwo");
    EXPECT_EQ(w.Text2->document()->blockCount(), 2);

    expectQuestion(w, 1, platform::vbYes);
    QTest::keyClick(w.Text2, Qt::Key_Enter); // the keypad's Enter commits too
    ASSERT_TRUE(ui.Done());
    const std::string stored = "one\r two (07Dec26, 09:05PM)";
    EXPECT_EQ(fixture::ReadBytes(PageFile("Ann", 1)), enciphered(stored) + "\r\n\r\n");
    EXPECT_EQ(w.Text1->Text(), "[1] \t" + stored + "\r\n\r\n");
}

TEST_F(Commit, EnterGoesToTheFocusedButtonElseCommits) {
    struct Case {
        const char* what;
        QWidget* (*focus)(Form1&);
        bool commits;
        int pageAfter;
    };
    const Case cases[] = {
        {"entry box", [](Form1& w) -> QWidget* { return w.Text2; }, true, 1},
        {"page view", [](Form1& w) -> QWidget* { return w.Text1; }, true, 1},
        {"page selector", [](Form1& w) -> QWidget* { return w.Combo1; }, true, 1},
        {"\">\" button", [](Form1& w) -> QWidget* { return w.Command2; }, false, 2},
        {"Commit button", [](Form1& w) -> QWidget* { return w.Command3; }, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Form1& w = open();
        w.Text2->SetText("typed");
        QWidget* target = c.focus(w);
        target->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), target);
        if (c.commits) {
            expectQuestion(w, 1, platform::vbNo);
        }
        QTest::keyClick(target, Qt::Key_Return);
        EXPECT_TRUE(ui.Done());
        EXPECT_EQ(w.CurrentPage(), c.pageAfter);
        EXPECT_EQ(w.Text2->Text(), "typed");
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
    Form1& w = open();
    w.Command2->click();
    w.Command2->click(); // page 3
    std::string file;
    std::string view;
    int entries = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        w.Text2->SetText(c.text);
        if (c.answer == 0) {
            ui.ExpectBeep();
        } else {
            expectQuestion(w, 3, c.answer);
        }
        w.Command3->click();
        EXPECT_TRUE(ui.Done());
        EXPECT_EQ(w.Text2->Text(), c.boxAfter);
        if (!c.storedText.empty()) {
            file += enciphered(c.storedText) + "\r\n\r\n";
            view += "[" + std::to_string(++entries) + "] \t" + c.storedText + "\r\n\r\n";
        }
        EXPECT_EQ(fixture::ReadBytes(PageFile("Ann", 3)), file);
        EXPECT_EQ(w.Text1->Text(), view);
        EXPECT_TRUE(pointerIsDefault(w));
    }
    EXPECT_EQ(fixture::ReadBytes(PageFile("Ann", 1)), "");
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
    Form1& w = open();
    std::string view;
    int n = 0;
    for (const Case& c : cases) {
        SetTime(c.at);
        w.Text2->SetText("e");
        expectQuestion(w, 1, platform::vbYes);
        w.Command3->click();
        view += "[" + std::to_string(++n) + "] \te" + c.stamp + "\r\n\r\n";
    }
    EXPECT_EQ(w.Text1->Text(), view);
}

TEST_F(Commit, AfterEarlierEntriesTheNewOneIsLast) {
    WritePage("Ann", 2, kKey, {"old one", "", "old two", ""});
    Form1& w = open();
    w.Command2->click();
    w.Text2->SetText("new");
    expectQuestion(w, 2, platform::vbYes);
    w.Command3->click();
    EXPECT_EQ(w.Text1->Text(), "[1] \told one\r\n\r\n[2] \told two\r\n\r\n[3] \tnew (07Dec26, 09:05PM)\r\n\r\n");
}

TEST_F(Commit, FileFailureKeepsTheTextAndThePage) {
    struct Case {
        const char* what;
        std::function<void()> arrange;
        std::string reason;
    };
    const Case cases[] = {
        {"page file removed", [this] { platform::DeleteFile(PageFile("Ann", 1)); }, "No such file or directory"},
        {"disk full part-way", [] {}, "No space left on device"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WritePage("Ann", 1, kKey, {"kept", ""});
        Form1& w = open();
        c.arrange();
        const bool existed = platform::PathExists(PageFile("Ann", 1));
        const std::string before = existed ? fixture::ReadBytes(PageFile("Ann", 1)) : "";
        const fixture::DiskFullAfter full(5); // a few bytes of the entry reach the disk
        w.Text2->SetText("lost, or not");
        expectQuestion(w, 1, platform::vbYes);
        ui.ExpectMsgBox("The entry cannot be saved to page 1. The page is as it was, and the text stays in the entry "
                        "box.\r\r" +
                            PageFile("Ann", 1) + "\r" + c.reason,
                        48, "Jotterel");
        w.Command3->click();
        EXPECT_TRUE(ui.Done());
        EXPECT_EQ(w.Text2->Text(), "lost; or not");
        EXPECT_EQ(platform::PathExists(PageFile("Ann", 1)), existed);
        if (existed) {
            EXPECT_EQ(fixture::ReadBytes(PageFile("Ann", 1)), before);
            EXPECT_TRUE(fixture::IsHidden(PageFile("Ann", 1)));
        }
        EXPECT_EQ(w.Text1->Text(), "[1] \tkept\r\n\r\n");
        EXPECT_TRUE(pointerIsDefault(w));
    }
}

TEST_F(Commit, MissingPageDuringPageSelectionLeavesAUsableEmptyView) {
    WritePage("Ann", 1, kKey, {"one", ""});
    Form1& w = open();
    QTest::keyClicks(w.Text2, "draft");
    platform::DeleteFile(PageFile("Ann", 2));
    ui.ExpectMsgBox("Page 2 cannot be shown.\r\r" + PageFile("Ann", 2) + "\rNo such file or directory", 48, "Jotterel");
    w.Command2->click();
    EXPECT_TRUE(ui.Done());
    EXPECT_EQ(w.CurrentPage(), 2);
    EXPECT_EQ(w.Text1->Text(), "");
    EXPECT_EQ(w.Label2->text(), "No caption set");
    EXPECT_EQ(w.Text2->Text(), "draft"); // the entry box keeps its text
    EXPECT_EQ(QApplication::focusWidget(), w.Text2);

    fixture::WriteBytes(PageFile("Ann", 3), "plain\r\n"); // cannot be deciphered
    ui.ExpectMsgBox("Page 3 cannot be shown.\r\rLine 1 of the page file cannot be deciphered under this member's key.",
                    48, "Jotterel");
    w.Command2->click();
    EXPECT_TRUE(ui.Done());
    EXPECT_EQ(w.Text1->Text(), "");

    w.Command6->click(); // other pages still show
    EXPECT_EQ(w.Text1->Text(), "[1] \tone\r\n\r\n");
}

} // namespace
