#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/core/Clock.h"
#include "platform/core/DateFormat.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Native.h"
#include "platform/core/Paths.h"
#include "platform/qt/PageView.h"
#include "platform/qt/TextBox.h"
#include "store/Cipher.h"
#include "support/core/EnglishRegionalSettings.h"
#include "support/gui/DiaryFixture.h"

namespace {

constexpr int kKey = 110;
constexpr const char* kCaution =
    "Caution: The deleted item will be rendered unreadable permanently. Do you want to continue?";
constexpr const char* kPrompt = "Specify the item number to be deleted on the current page";
// The stamp of a deletion made at the fixed time below.
constexpr const char* kNow = " (07Dec26, 09:05PM)";

const std::vector<std::string> kThreeEntries = {
    "Went to the market (06Dec26, 08:00AM)", "", "Buy milk (05Mar04, 09:15AM)", "",
    "Call Bob; 3pm (07Dec26, 10:00AM)",      "",
};

class DeleteItem : public DiaryFixture {
protected:
    void SetUp() override {
        const char* months[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        for (int i = 0; i < 12; ++i) {
            m_english.months[i] = months[i];
        }
        m_english.am = "AM";
        m_english.pm = "PM";
        platform::setLocaleNames(&m_english);
        platform::setClock([] { return platform::LocalTime{2026, 12, 7, 21, 5, 0}; });
        makeMember("Ann", kKey, "pw");
        writePage("Ann", 1, kKey, kThreeEntries);
        openDiary("Ann", "pw");
    }
    void TearDown() override {
        platform::setClock(nullptr);
        EnglishRegionalSettings::use();
        platform::setWriteBudget(std::nullopt);
    }

    // Answers Yes to the caution and types the item number.
    void mask(const std::string& typed) {
        ui.expectMsgBox(kCaution, 52, "Jotterel", platform::vbYes);
        ui.expectInputBox(kPrompt, "Jotterel", "", typed);
        form->deleteAnItemAction->trigger();
        EXPECT_TRUE(ui.done()) << typed;
    }

    std::string page1() const { return fixture::readBytes(pageFile("Ann", 1)); }
    std::string content(const std::vector<std::string>& lines) const { return fixture::pageContent(kKey, lines); }

    platform::LocaleNames m_english;
};

TEST_F(DeleteItem, MasksOneEntryInPlaceAndShowsTheWholePageSelected) {
    mask("2");
    // Line 3 of the file; spaces survive, everything else, the old stamp included, becomes X.
    EXPECT_EQ(page1(), content({kThreeEntries[0], "", std::string("XXX XXXX XXXXXXXXX XXXXXXXX") + kNow, "",
                                kThreeEntries[4], ""}));
    EXPECT_TRUE(fixture::isHidden(pageFile("Ann", 1)));
    EXPECT_EQ(form->pageView->text(), "[1] \tWent to the market (06Dec26, 08:00AM)\r\n\r\n"
                                      "[2] \tXXX XXXX XXXXXXXXX XXXXXXXX (07Dec26, 09:05PM)\r\n\r\n"
                                      "[3] \tCall Bob; 3pm (07Dec26, 10:00AM)\r\n\r\n");
    EXPECT_EQ(form->pageView->selStart(), 0u);
    EXPECT_EQ(form->pageView->selLength(), form->pageView->text().size());

    // A masked entry is an ordinary entry: masking it again masks its stamp too.
    mask("2");
    EXPECT_EQ(fixture::readLines(pageFile("Ann", 1))[2],
              Cipher::encryptWithKey(std::string("XXX XXXX XXXXXXXXX XXXXXXXX XXXXXXXXX XXXXXXXX") + kNow, kKey));
}

TEST_F(DeleteItem, TypedNumberIsReadAsItsLeadingNumber) {
    const std::string maskedBuy = std::string("XXX XXXX XXXXXXXXX XXXXXXXX") + kNow;
    const std::string maskedCall = std::string("XXXX XXXX XXX XXXXXXXXX XXXXXXXX") + kNow;
    struct Case {
        std::string typed;
        std::vector<std::string> lines;
    };
    const std::vector<std::string>& same = kThreeEntries;
    const Case cases[] = {
        {"3abc", {kThreeEntries[0], "", kThreeEntries[2], "", maskedCall, ""}},
        {" 2 ", {kThreeEntries[0], "", maskedBuy, "", kThreeEntries[4], ""}},
        {"&H3", {kThreeEntries[0], "", kThreeEntries[2], "", maskedCall, ""}},
        // The empty line after entry 1 becomes a stamp alone.
        {"1.5", {kThreeEntries[0], kNow, kThreeEntries[2], "", kThreeEntries[4], ""}},
        {"abc", same},
        {"0", same},
        {"-1", same},
        {"4", same},
        {"2.25", same},
    };
    for (const Case& c : cases) {
        writePage("Ann", 1, kKey, kThreeEntries);
        mask(c.typed);
        EXPECT_EQ(page1(), content(c.lines)) << c.typed;
        EXPECT_TRUE(fixture::isHidden(pageFile("Ann", 1))) << c.typed;
    }
    // The stamp alone counts as an entry of its own: the later entries move up by one.
    EXPECT_EQ(form->pageView->text(), "[1] \tWent to the market (06Dec26, 08:00AM)\r\n\r\n"
                                      "[2] \tBuy milk (05Mar04, 09:15AM)\r\n\r\n"
                                      "[3] \tCall Bob; 3pm (07Dec26, 10:00AM)\r\n\r\n");
    writePage("Ann", 1, kKey, kThreeEntries);
    mask("1.5");
    EXPECT_EQ(form->pageView->text(), "[1] \tWent to the market (06Dec26, 08:00AM)\r\n"
                                      "[2] \t (07Dec26, 09:05PM)\r\n"
                                      "[3] \tBuy milk (05Mar04, 09:15AM)\r\n\r\n"
                                      "[4] \tCall Bob; 3pm (07Dec26, 10:00AM)\r\n\r\n");
}

TEST_F(DeleteItem, AnyEntryOfALongPageCanBeMasked) {
    std::vector<std::string> lines;
    for (int entry = 1; entry <= 300; ++entry) {
        lines.push_back("entry " + std::to_string(entry));
        lines.emplace_back();
    }
    writePage("Ann", 1, kKey, lines);
    mask("280");
    lines[558] = std::string("XXXXX XXX") + kNow; // file line 559
    EXPECT_EQ(page1(), content(lines));
    EXPECT_NE(form->pageView->text().find("[280] \tXXXXX XXX (07Dec26, 09:05PM)\r\n\r\n[281] \tentry 281\r\n"),
              std::string::npos);
}

TEST_F(DeleteItem, LastLineWithoutLineEndIsWrittenBackWithOne) {
    const std::string path = pageFile("Ann", 1);
    fixture::writeBytes(path, Cipher::encryptWithKey("one", kKey) + "\r\n\r\n" + Cipher::encryptWithKey("two", kKey));
    mask("2");
    EXPECT_EQ(page1(), content({"one", "", std::string("XXX") + kNow}));
}

TEST_F(DeleteItem, NoStillRefreshesAndCancelDoesNot) {
    writePage("Ann", 1, kKey, {"written behind its back", ""});
    ui.expectMsgBox(kCaution, 52, "Jotterel", platform::vbNo);
    form->deleteAnItemAction->trigger();
    EXPECT_EQ(form->pageView->text(), "[1] \twritten behind its back\r\n\r\n");
    EXPECT_EQ(page1(), content({"written behind its back", ""}));

    writePage("Ann", 1, kKey, kThreeEntries);
    ui.expectMsgBox(kCaution, 52, "Jotterel", platform::vbYes);
    ui.expectInputBox(kPrompt, "Jotterel", "", ""); // Cancel or nothing typed
    form->deleteAnItemAction->trigger();
    EXPECT_TRUE(ui.done());
    EXPECT_EQ(form->pageView->text(), "[1] \twritten behind its back\r\n\r\n");
    EXPECT_EQ(page1(), content(kThreeEntries));
}

TEST_F(DeleteItem, EmptyPageIsLeftAsItIs) {
    const std::string path = pageFile("Ann", 1);
    writePage("Ann", 1, kKey, {});
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    mask("1");
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino); // not rewritten
    EXPECT_EQ(after.st_size, 0);
    EXPECT_TRUE(fixture::isHidden(path));
    EXPECT_EQ(form->pageView->text(), "");
}

TEST_F(DeleteItem, PageThatCannotBeReadOrWrittenIsLeftAsItWas) {
    const std::string path = pageFile("Ann", 1);
    // A line edited by hand holds bytes below the key.
    const std::string damaged = content({"fine", ""}) + "plain text\r\n";
    fixture::writeBytes(path, damaged);
    ui.expectMsgBox(kCaution, 52, "Jotterel", platform::vbYes);
    ui.expectInputBox(kPrompt, "Jotterel", "", "1");
    ui.expectMsgBox("No item was deleted: page 1 cannot be read.\r\r" + path +
                        "\rLine 3 cannot be deciphered under this member's key.",
                    48, "Jotterel");
    form->deleteAnItemAction->trigger();
    EXPECT_TRUE(ui.done());
    EXPECT_EQ(page1(), damaged);

    writePage("Ann", 1, kKey, kThreeEntries);
    platform::setWriteBudget(0); // the disk is full
    ui.expectMsgBox(kCaution, 52, "Jotterel", platform::vbYes);
    ui.expectInputBox(kPrompt, "Jotterel", "", "2");
    ui.expectMsgBox("No item was deleted: page 1 cannot be written. It keeps its entries as they were.\r\r" + path +
                        "\r" + platform::errorText(platform::native::fullDiskError()),
                    48, "Jotterel");
    form->deleteAnItemAction->trigger();
    platform::setWriteBudget(std::nullopt);
    EXPECT_TRUE(ui.done());
    EXPECT_EQ(page1(), content(kThreeEntries));
    EXPECT_TRUE(fixture::isHidden(path));
}

} // namespace
