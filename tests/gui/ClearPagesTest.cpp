#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>

#include "platform/core/FileAttributes.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "platform/qt/Label.h"
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
        MakeMember("Ann", kKey, "pw");
        for (int page = 1; page <= 15; ++page) {
            WritePage("Ann", page, kKey, {"entry on page " + std::to_string(page), ""});
        }
        std::vector<std::string> captions;
        for (int page = 1; page <= 15; ++page) {
            captions.push_back("Caption " + std::to_string(page));
        }
        const std::string captionsFile = fixture::MemberFile(app.path(), "Ann", Module1::kCaptionsFile);
        fixture::WriteBytes(captionsFile, fixture::PageContent(kKey, captions));
        platform::SetAttr(captionsFile, platform::kAttrHidden);
        OpenDiary("Ann", "pw");
        form->Combo1->setCurrentIndex(3);
        form->Text2->SetText("half typed");
        before = files();
    }

    // Every file of the member folder with its content.
    std::map<std::string, std::string> files() const {
        std::map<std::string, std::string> all;
        for (const auto& e : std::filesystem::directory_iterator(app / "Ann")) {
            all[e.path().filename().string()] = e.is_directory() ? "(folder)" : fixture::ReadBytes(e.path().string());
        }
        return all;
    }

    void ExpectCleared(const std::vector<int>& pages) {
        std::map<std::string, std::string> expected = before;
        for (int page : pages) {
            expected[Module1::PageFileName(page)] = "";
        }
        EXPECT_EQ(files(), expected);
        for (int page = 1; page <= 15; ++page) {
            EXPECT_TRUE(fixture::IsHidden(PageFile("Ann", page))) << page;
        }
        EXPECT_EQ(form->CurrentPage(), 4);
        EXPECT_EQ(form->Label2->text(), "Caption 4");
        EXPECT_EQ(form->Text2->Text(), "half typed");
    }

    std::map<std::string, std::string> before;
};

TEST_F(ClearPages, DeleteThisPageEmptiesOnlyThePageShown) {
    ui.ExpectMsgBox(kClearPage, 52, "Jotterel", platform::vbYes);
    ui.ExpectMsgBox(kNoRestore, 52, "Jotterel", platform::vbYes);
    form->mnuDelPage->trigger();
    ExpectCleared({4});
    EXPECT_EQ(form->Text1->Text(), "");

    // Clearing it again succeeds; coming back to the page shows it empty.
    ui.ExpectMsgBox(kClearPage, 52, "Jotterel", platform::vbYes);
    ui.ExpectMsgBox(kNoRestore, 52, "Jotterel", platform::vbYes);
    form->mnuDelPage->trigger();
    ExpectCleared({4});
    form->Command2->click();
    form->Command1->click();
    EXPECT_EQ(form->Text1->Text(), "");
}

TEST_F(ClearPages, DeleteAllPagesEmptiesEveryPageFile) {
    ui.ExpectMsgBox(kClearAll, 52, "Jotterel", platform::vbYes);
    ui.ExpectMsgBox(kNoRestore, 52, "Jotterel", platform::vbYes);
    form->mnuDelAll->trigger();
    ExpectCleared({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15});
    EXPECT_EQ(form->Text1->Text(), "");
}

TEST_F(ClearPages, NoToEitherQuestionChangesNothing) {
    struct Case {
        QAction* item;
        const char* first;
        int firstAnswer;
    };
    const Case cases[] = {{form->mnuDelPage, kClearPage, platform::vbNo},
                          {form->mnuDelPage, kClearPage, platform::vbYes},
                          {form->mnuDelAll, kClearAll, platform::vbNo},
                          {form->mnuDelAll, kClearAll, platform::vbYes}};
    for (const Case& c : cases) {
        ui.ExpectMsgBox(c.first, 52, "Jotterel", c.firstAnswer);
        if (c.firstAnswer == platform::vbYes) {
            ui.ExpectMsgBox(kNoRestore, 52, "Jotterel", platform::vbNo);
        }
        c.item->trigger();
        EXPECT_TRUE(ui.Done());
        ExpectCleared({});
        EXPECT_EQ(form->Text1->Text(), "[1] \tentry on page 4\r\n\r\n");
    }
}

TEST_F(ClearPages, PageThatCannotBeClearedIsReported) {
    // The page shown has gone from the folder: nothing is made in its place.
    const std::string page4 = PageFile("Ann", 4);
    platform::DeleteFile(page4);
    before.erase(Module1::PageFileName(4));
    ui.ExpectMsgBox(kClearPage, 52, "Jotterel", platform::vbYes);
    ui.ExpectMsgBox(kNoRestore, 52, "Jotterel", platform::vbYes);
    ui.ExpectMsgBox("Page 4 cannot be cleared; its file is left as it was.\r\r" + page4 + "\r" +
                        platform::ErrorText(ENOENT),
                    48, "Jotterel");
    form->mnuDelPage->trigger();
    EXPECT_TRUE(ui.Done());
    EXPECT_EQ(files(), before);
    EXPECT_EQ(form->Text1->Text(), "[1] \tentry on page 4\r\n\r\n");
}

TEST_F(ClearPages, DeleteAllPagesStopsAtTheFirstPageThatCannotBeCleared) {
    // Page 6 is a folder now, so no file can take its place. The view shows page 4, which is
    // emptied before the stop; then page 9, which keeps its entry.
    const std::string page6 = PageFile("Ann", 6);
    platform::DeleteFile(page6);
    platform::MakeFolder(page6);
    before = files();
    ui.ExpectMsgBox(kClearAll, 52, "Jotterel", platform::vbYes);
    ui.ExpectMsgBox(kNoRestore, 52, "Jotterel", platform::vbYes);
    ui.ExpectMsgBox("Clearing stopped at page 6, which cannot be cleared: pages 1 to 5 are empty now, pages 6 to 15 "
                    "keep their entries.\r\r" +
                        module.MemberFile("Ann", Module1::PageFileName(6)) + "\r" + platform::ErrorText(EISDIR),
                    48, "Jotterel");
    form->mnuDelAll->trigger();
    EXPECT_TRUE(ui.Done());
    std::map<std::string, std::string> expected = before;
    for (int page = 1; page <= 5; ++page) {
        expected[Module1::PageFileName(page)] = "";
    }
    EXPECT_EQ(files(), expected);
    EXPECT_EQ(form->Text1->Text(), "");

    form->Combo1->setCurrentIndex(8);
    ui.ExpectMsgBox(kClearAll, 52, "Jotterel", platform::vbYes);
    ui.ExpectMsgBox(kNoRestore, 52, "Jotterel", platform::vbYes);
    ui.ExpectMsgBox(ui.Shown().back().text, 48, "Jotterel");
    form->mnuDelAll->trigger();
    EXPECT_TRUE(ui.Done());
    EXPECT_EQ(files(), expected);
    EXPECT_EQ(form->Text1->Text(), "[1] \tentry on page 9\r\n\r\n");
}

} // namespace
