#include <QComboBox>
#include <filesystem>
#include <iostream>
#include <random>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "platform/core/FileAttributes.h"
#include "platform/core/FileSystem.h"
#include "platform/qt/Label.h"
#include "platform/qt/PageView.h"
#include "platform/qt/QtText.h"
#include "platform/qt/TextBox.h"
#include "search/FindCommand.h"
#include "search/FindResultsWindow.h"
#include "search/ResultLines.h"
#include "store/Cipher.h"
#include "support/core/HundredMegabytePage.h"
#include "support/gui/DiaryFixture.h"

// Damaged, hand-edited and huge member files opened through the windows: every page is shown or
// refused with a message, every page gets a caption, and nothing is written back damaged.
namespace {

constexpr int kKey = 110;
constexpr const char* kCaution =
    "Caution: The deleted item will be rendered unreadable permanently. Do you want to continue?";
constexpr const char* kItemPrompt = "Specify the item number to be deleted on the current page";
constexpr const char* kCaptionPrompt = "Enter a caption for this page (upto 32 characters long)";

std::string randomBytes(std::size_t n, unsigned char lowest, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> byte(lowest, 255);
    std::string out(n, '\0');
    for (char& c : out) {
        c = static_cast<char>(byte(random));
    }
    return out;
}

std::string enciphered(const std::string& text) {
    return Cipher::encryptWithKey(text, kKey);
}

// The lines of bytes, and the number of the first one holding a byte below the key (0: none).
std::size_t lineCount(const std::string& bytes, std::size_t* firstUnreadable = nullptr) {
    std::size_t count = 0;
    if (firstUnreadable) {
        *firstUnreadable = 0;
    }
    platform::forEachLine(bytes, [&](std::string_view line) {
        ++count;
        const bool below =
            std::any_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < kKey; });
        if (below && firstUnreadable && *firstUnreadable == 0) {
            *firstUnreadable = count;
        }
    });
    return count;
}

struct HostilePage {
    const char* what;
    std::string bytes;
    std::size_t lines = 0;      // how many lines the file holds
    std::size_t unreadable = 0; // the first line that cannot be deciphered; 0: none
};

std::vector<HostilePage> hostilePages() {
    return {
        {"zero length", "", 0, 0},
        {"plain text, below the key", "Went to the market\r\n\r\n", 2, 1},
        {"no line end", enciphered("Only entry"), 1, 0},
        {"lone CR and LF", enciphered("one") + "\r" + enciphered("two") + "\n\n" + enciphered("three"), 4, 0},
        {"empty lines only", "\r\n\r\n\n\r", 4, 0},
        {"NUL bytes", std::string(64, '\0') + "\r\n", 1, 1},
        {"random bytes", randomBytes(4096, 0, 1), 27, 1},
        {"random bytes at or above the key, no line end", randomBytes(4096, kKey, 2), 1, 0},
        {"bytes at the top", std::string(300, '\xFF') + "\r\n\r\n", 2, 0},
        {"a line of a megabyte", enciphered(std::string(1 << 20, 'w')) + "\r\n\r\n", 2, 0},
        {"entry after a damaged line", enciphered("good") + "\r\n\x01\r\n" + enciphered("later") + "\r\n", 3, 2},
    };
}

class HostileFiles : public DiaryFixture {
protected:
    void SetUp() override {
        makeMember("Ann", kKey, "pw");
        writePage("Ann", 1, kKey, {"A page as it should be", ""});
    }
    std::string captionsFile() const { return fixture::memberFile(app.path(), "Ann", MemberFolder::kCaptionsFile); }
    void place(const std::string& path, const std::string& bytes) {
        fixture::writeBytes(path, bytes);
        platform::setAttr(path, platform::kAttrHidden);
    }
};

TEST_F(HostileFiles, PageOfAnyBytesIsShownOrRefusedAndNeverWrittenBackDamaged) {
    const std::vector<HostilePage> cases = hostilePages();
    DiaryWindow& w = openDiary("Ann", "pw");
    for (const HostilePage& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string page = pageFile("Ann", 2);
        place(page, c.bytes);
        const std::size_t unreadable = c.unreadable;
        const std::size_t lines = c.lines;
        const std::string why = "Line " + std::to_string(unreadable);

        if (unreadable) {
            ui.expectMsgBox("Page 2 cannot be shown.\r\r" + why +
                                " of the page file cannot be deciphered under this member's key.",
                            48, "Jotterel");
        }
        w.pageSelector->setCurrentIndex(1);
        EXPECT_TRUE(ui.done());
        EXPECT_EQ(w.pageView->text().empty(), unreadable || lines == 0);

        // Masking the first entry: an unreadable page is refused before anything is written.
        ui.expectMsgBox(kCaution, 52, "Jotterel", platform::vbYes);
        ui.expectInputBox(kItemPrompt, "Jotterel", "", "1");
        if (unreadable) {
            ui.expectMsgBox("No item was deleted: page 2 cannot be read.\r\r" + page + "\r" + why +
                                " cannot be deciphered under this member's key.",
                            48, "Jotterel");
        }
        w.deleteAnItemAction->trigger();
        EXPECT_TRUE(ui.done());
        const std::string after = fixture::readBytes(page);
        if (unreadable || lines == 0) {
            EXPECT_EQ(after, c.bytes);
        } else {
            std::size_t afterUnreadable = 0;
            EXPECT_EQ(lineCount(after, &afterUnreadable), lines);
            EXPECT_EQ(afterUnreadable, 0u);
            EXPECT_TRUE(after.ends_with("\r\n"));
            EXPECT_NE(after, c.bytes);
        }
        EXPECT_TRUE(fixture::isHidden(page));
        w.pageSelector->setCurrentIndex(0);
    }
}

TEST_F(HostileFiles, FindGoesOnPastDamagedPages) {
    // One damaged page after another; the search still reaches every page and lists only the
    // entry that holds the text.
    const std::vector<HostilePage> pages = hostilePages();
    ASSERT_LE(pages.size(), 14u);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        place(pageFile("Ann", static_cast<int>(i) + 2), pages[i].bytes);
    }
    writePage("Ann", 15, kKey, {"Last page, as it should be", ""});
    DiaryWindow& w = openDiary("Ann", "pw");
    ui.expectInputBox("Enter text to search for in your diary", "Jotterel", "", "AS IT SHOULD BE");
    w.findAction->trigger();
    EXPECT_TRUE(ui.done());
    FindResultsWindow* results = w.findChild<FindCommand*>()->resultsWindow();
    ASSERT_NE(results, nullptr);
    ASSERT_EQ(results->lines().count(), 2);
    EXPECT_EQ(platform::fromQString(results->lines().line(0)), " 1     [1] A page as it should be");
    EXPECT_EQ(platform::fromQString(results->lines().line(1)), " 15     [1] Last page, as it should be");
    results->close();
}

TEST_F(HostileFiles, CaptionsFileOfAnyBytesGivesEveryPageACaption) {
    struct Case {
        const char* what;
        std::string bytes;
        std::string pageOne; // the caption shown for page 1; empty: whatever the bytes give
    };
    std::string forty;
    for (int i = 1; i <= 40; ++i) {
        forty += enciphered("Caption " + std::to_string(i)) + "\r\n";
    }
    const Case cases[] = {
        {"zero length", "", "No caption set"},
        {"plain text, below the key", "Garden\r\n", "No caption set"},
        {"no line end", enciphered("Garden"), "Garden"},
        {"forty lines", forty, "Caption 1"},
        {"NUL bytes", std::string(15, '\0') + "\r\n", "No caption set"},
        {"a line of 64 kilobytes", enciphered(std::string(65536, 'c')) + "\r\n", std::string(65536, 'c')},
        {"random bytes", randomBytes(4096, 0, 3), ""},
        {"random bytes at or above the key", randomBytes(4096, kKey, 4), ""},
    };
    DiaryWindow& w = openDiary("Ann", "pw");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        place(captionsFile(), c.bytes);
        w.pageSelector->setCurrentIndex(1);
        w.pageSelector->setCurrentIndex(0); // the page selection loads the captions
        const std::string shown = platform::fromQString(w.captionLabel->text());
        if (!c.pageOne.empty()) {
            EXPECT_EQ(shown, c.pageOne);
        }
        EXPECT_FALSE(shown.empty());

        // A caption edit writes all fifteen captions afresh, each readable.
        ui.expectInputBox(kCaptionPrompt, "Jotterel", shown, "Mended");
        w.editCaption();
        EXPECT_TRUE(ui.done());
        const std::vector<std::string> lines = fixture::readLines(captionsFile());
        ASSERT_EQ(lines.size(), 15u);
        EXPECT_EQ(Cipher::decryptWithKey(lines[0], kKey), "Mended");
        for (const std::string& line : lines) {
            EXPECT_FALSE(Cipher::decryptWithKey(line, kKey).empty());
        }
        EXPECT_TRUE(fixture::isHidden(captionsFile()));
    }
}

// A page file larger than a page may be is refused by its size, before any of it is read: the
// message names the page and its size, no memory is taken for it, nothing is written to it, and
// the other pages can still be shown, searched and masked.
TEST_F(HostileFiles, PageLargerThanAPageMayBeIsRefusedByItsSize) {
    const std::string page = pageFile("Ann", 2);
    DiaryWindow& w = openDiary("Ann", "pw");
    const std::pair<std::uint64_t, const char*> sizes[] = {{1ull << 30, "1.0 GB"}, {200ull << 30, "200 GB"}};
    for (const auto& [size, said] : sizes) {
        SCOPED_TRACE(said);
        place(page, "");
        std::error_code sparse;
        std::filesystem::resize_file(page, size, sparse);
        if (sparse) {
            GTEST_SKIP() << "the file system takes no sparse file of " << said;
        }
        const std::string why = page + "\rthe file is " + said + ", more than the 256 MB it may be";
#ifndef _WIN32
        rusage before{};
        ::getrusage(RUSAGE_SELF, &before);
#endif

        ui.expectMsgBox("Page 2 cannot be shown.\r\r" + why, 48, "Jotterel");
        w.pageSelector->setCurrentIndex(1);
        EXPECT_TRUE(ui.done());
        EXPECT_TRUE(w.pageView->text().empty());
        ui.expectMsgBox(kCaution, 52, "Jotterel", platform::vbYes);
        ui.expectInputBox(kItemPrompt, "Jotterel", "", "1");
        ui.expectMsgBox("No item was deleted: page 2 cannot be read.\r\r" + why, 48, "Jotterel");
        w.deleteAnItemAction->trigger();
        EXPECT_TRUE(ui.done());
        EXPECT_EQ(std::filesystem::file_size(page), size);

        w.pageSelector->setCurrentIndex(0);
        EXPECT_EQ(w.pageView->text(), "[1] \tA page as it should be\r\n\r\n");
        ui.expectInputBox("Enter text to search for in your diary", "Jotterel", "", "should be");
        w.findAction->trigger();
        EXPECT_TRUE(ui.done());
        FindResultsWindow* results = w.findChild<FindCommand*>()->resultsWindow();
        ASSERT_NE(results, nullptr);
        ASSERT_EQ(results->lines().count(), 1);
        EXPECT_EQ(platform::fromQString(results->lines().line(0)), " 1     [1] A page as it should be");
        results->close();
        w.session().setSearchText({});

#ifndef _WIN32
        rusage after{};
        ::getrusage(RUSAGE_SELF, &after);
        EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 32 * 1024) << "kilobytes taken for a page that is refused";
#endif
    }
}

TEST_F(HostileFiles, HundredMegabytePageIsShown) {
    const fixture::HundredMegabytePage big(pageFile("Ann", 2), kKey);
    platform::setAttr(pageFile("Ann", 2), platform::kAttrHidden);
    const std::size_t entries = big.entries();
    DiaryWindow& w = openDiary("Ann", "pw");
    w.show();
    w.pageSelector->setCurrentIndex(1);
    w.pageView->viewport()->repaint();
    EXPECT_TRUE(w.pageView->text().ends_with(
        "[" + std::to_string(entries) + "] \tWent to the market; bought apples and pears (07Dec26, 09:05PM)\r\n\r\n"));
    EXPECT_EQ(w.pageView->lineCount(), 2 * entries + 1);

#ifndef _WIN32
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::cout << "A page of " << entries << " entries shown: at most " << usage.ru_maxrss / 1024
              << " MB of memory in use" << std::endl;
#endif
}

} // namespace
