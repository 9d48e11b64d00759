#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>

#include "platform/core/FileAttributes.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Native.h"
#include "platform/core/Paths.h"
#include "platform/qt/Label.h"
#include "platform/qt/PageView.h"
#include "platform/qt/TextBox.h"
#include "support/gui/DiaryFixture.h"

namespace {

constexpr int kKey = 120;
constexpr const char* kNoRestore = "Deleted information cannot be restored later. Do you still want to proceed?";
constexpr const char* kClearPage = "Are you sure you want to clear this page from your diary?";
constexpr const char* kClearAll = "Are you sure you want to clear ALL pages from your diary?";

// A member whose fifteen pages all hold entries and whose pages all have captions, showing page 4
// with a half-typed entry.
class ClearPages : public DiaryFixture {
protected:
    void SetUp() override {
        makeMember("Ann", kKey, "pw");
        for (int page = 1; page <= 15; ++page) {
            writePage("Ann", page, kKey, {"entry on page " + std::to_string(page), ""});
        }
        std::vector<std::string> captions;
        for (int page = 1; page <= 15; ++page) {
            captions.push_back("Caption " + std::to_string(page));
        }
        const std::string captionsFile = fixture::memberFile(app.path(), "Ann", MemberFolder::kCaptionsFile);
        fixture::writeBytes(captionsFile, fixture::pageContent(kKey, captions));
        platform::setAttr(captionsFile, platform::kAttrHidden);
        openDiary("Ann", "pw");
        form->pageSelector->setCurrentIndex(3);
        form->entryBox->setText("half typed");
        before = files();
    }

    // Every file of the member folder with its content.
    std::map<std::string, std::string> files() const {
        std::map<std::string, std::string> all;
        for (const auto& e : std::filesystem::directory_iterator(app / "Ann")) {
            all[e.path().filename().string()] = e.is_directory() ? "(folder)" : fixture::readBytes(e.path().string());
        }
        return all;
    }

    void expectCleared(const std::vector<int>& pages) {
        std::map<std::string, std::string> expected = before;
        for (int page : pages) {
            expected[MemberFolder::pageFileName(page)] = "";
        }
        EXPECT_EQ(files(), expected);
        for (int page = 1; page <= 15; ++page) {
            EXPECT_TRUE(fixture::isHidden(pageFile("Ann", page))) << page;
        }
        EXPECT_EQ(form->currentPage(), 4);
        EXPECT_EQ(form->captionLabel->text(), "Caption 4");
        EXPECT_EQ(form->entryBox->text(), "half typed");
    }

    std::map<std::string, std::string> before;
};

TEST_F(ClearPages, DeleteThisPageEmptiesOnlyThePageShown) {
    ui.expectMsgBox(kClearPage, 52, "Jotterel", platform::vbYes);
    ui.expectMsgBox(kNoRestore, 52, "Jotterel", platform::vbYes);
    form->deleteThisPageAction->trigger();
    expectCleared({4});
    EXPECT_EQ(form->pageView->text(), "");

    // Clearing it again succeeds; coming back to the page shows it empty.
    ui.expectMsgBox(kClearPage, 52, "Jotterel", platform::vbYes);
    ui.expectMsgBox(kNoRestore, 52, "Jotterel", platform::vbYes);
    form->deleteThisPageAction->trigger();
    expectCleared({4});
    form->nextPageButton->click();
    form->previousPageButton->click();
    EXPECT_EQ(form->pageView->text(), "");
}

TEST_F(ClearPages, DeleteAllPagesEmptiesEveryPageFile) {
    ui.expectMsgBox(kClearAll, 52, "Jotterel", platform::vbYes);
    ui.expectMsgBox(kNoRestore, 52, "Jotterel", platform::vbYes);
    form->deleteAllPagesAction->trigger();
    expectCleared({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15});
    EXPECT_EQ(form->pageView->text(), "");
}

TEST_F(ClearPages, NoToEitherQuestionChangesNothing) {
    struct Case {
        QAction* item;
        const char* first;
        int firstAnswer;
    };
    const Case cases[] = {{form->deleteThisPageAction, kClearPage, platform::vbNo},
                          {form->deleteThisPageAction, kClearPage, platform::vbYes},
                          {form->deleteAllPagesAction, kClearAll, platform::vbNo},
                          {form->deleteAllPagesAction, kClearAll, platform::vbYes}};
    for (const Case& c : cases) {
        ui.expectMsgBox(c.first, 52, "Jotterel", c.firstAnswer);
        if (c.firstAnswer == platform::vbYes) {
            ui.expectMsgBox(kNoRestore, 52, "Jotterel", platform::vbNo);
        }
        c.item->trigger();
        EXPECT_TRUE(ui.done());
        expectCleared({});
        EXPECT_EQ(form->pageView->text(), "[1] \tentry on page 4\r\n\r\n");
    }
}

TEST_F(ClearPages, PageThatCannotBeClearedIsReported) {
    // The page shown has gone from the folder: nothing is made in its place.
    const std::string page4 = pageFile("Ann", 4);
    platform::deleteFile(page4);
    before.erase(MemberFolder::pageFileName(4));
    ui.expectMsgBox(kClearPage, 52, "Jotterel", platform::vbYes);
    ui.expectMsgBox(kNoRestore, 52, "Jotterel", platform::vbYes);
    ui.expectMsgBox("Page 4 cannot be cleared; its file is left as it was.\r\r" + page4 + "\r" +
                        platform::errorText(ENOENT),
                    48, "Jotterel");
    form->deleteThisPageAction->trigger();
    EXPECT_TRUE(ui.done());
    EXPECT_EQ(files(), before);
    EXPECT_EQ(form->pageView->text(), "[1] \tentry on page 4\r\n\r\n");
}

TEST_F(ClearPages, DeleteAllPagesStopsAtTheFirstPageThatCannotBeCleared) {
    // Page 6 is a folder now, so no file can take its place. The view shows page 4, which is
    // emptied before the stop; then page 9, which keeps its entry.
    const std::string page6 = pageFile("Ann", 6);
    platform::deleteFile(page6);
    platform::makeFolder(page6);
    before = files();
    ui.expectMsgBox(kClearAll, 52, "Jotterel", platform::vbYes);
    ui.expectMsgBox(kNoRestore, 52, "Jotterel", platform::vbYes);
    ui.expectMsgBox("Clearing stopped at page 6, which cannot be cleared: pages 1 to 5 are empty now, pages 6 to 15 "
                    "keep their entries.\r\r" +
                        module.memberFile("Ann", MemberFolder::pageFileName(6)) + "\r" +
                        platform::errorText(platform::native::folderError()),
                    48, "Jotterel");
    form->deleteAllPagesAction->trigger();
    EXPECT_TRUE(ui.done());
    std::map<std::string, std::string> expected = before;
    for (int page = 1; page <= 5; ++page) {
        expected[MemberFolder::pageFileName(page)] = "";
    }
    EXPECT_EQ(files(), expected);
    EXPECT_EQ(form->pageView->text(), "");

    form->pageSelector->setCurrentIndex(8);
    ui.expectMsgBox(kClearAll, 52, "Jotterel", platform::vbYes);
    ui.expectMsgBox(kNoRestore, 52, "Jotterel", platform::vbYes);
    ui.expectMsgBox(ui.shown().back().text, 48, "Jotterel");
    form->deleteAllPagesAction->trigger();
    EXPECT_TRUE(ui.done());
    EXPECT_EQ(files(), expected);
    EXPECT_EQ(form->pageView->text(), "[1] \tentry on page 9\r\n\r\n");
}

} // namespace
