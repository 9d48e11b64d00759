#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

#include "platform/core/FileSystem.h"
#include "platform/qt/Label.h"
#include "platform/qt/QtText.h"
#include "store/Cipher.h"
#include "support/gui/DiaryFixture.h"

namespace {

constexpr int kKey = 112;
const char* const kPrompt = "Enter a caption for this page (upto 32 characters long)";

class CaptionEdit : public DiaryFixture {
protected:
    std::string captionsFile() const { return fixture::memberFile(app.path(), "Ann", MemberFolder::kCaptionsFile); }
    std::vector<std::string> storedCaptions() const {
        std::vector<std::string> plain;
        for (const std::string& line : fixture::readLines(captionsFile())) {
            plain.push_back(Cipher::decryptWithKey(line, kKey));
        }
        return plain;
    }
};

TEST_F(CaptionEdit, AnswersOfTheInputBox) {
    const std::string exactly32(32, 'x');
    struct Case {
        const char* name;
        std::string before;               // the caption of page 1 at the start; empty: none set
        std::vector<std::string> answers; // given to the input boxes in turn
        std::string shown;                // the caption afterwards
        bool saved;
    };
    const Case cases[] = {
        {"32 characters", "", {exactly32}, exactly32, true},
        {"33 characters, then 32", "", {exactly32 + "y", exactly32}, exactly32, true},
        {"cancel after too long", "", {exactly32 + "y", ""}, "No caption set", false},
        {"blanks only", "", {"   "}, "   ", true},
        {"kept as typed", "", {" a, \"b\" <i>c</i> "}, " a, \"b\" <i>c</i> ", true},
        {"cancel", "", {""}, "No caption set", false},
        {"cancel keeps a caption set before", "Garden plans", {""}, "Garden plans", false},
        {"cancel after too long keeps it too", "Garden plans", {exactly32 + "y", ""}, "Garden plans", false},
        {"a caption set before is replaced", "Garden plans", {"Holidays"}, "Holidays", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        makeMember("Ann", kKey, "pw");
        const std::string before = c.before.empty() ? "" : fixture::pageContent(kKey, {c.before});
        fixture::writeBytes(captionsFile(), before);
        DiaryWindow& w = openDiary("Ann", "pw");
        for (const std::string& answer : c.answers) {
            // Every question offers the caption shown, never a refused answer.
            ui.expectInputBox(kPrompt, "Jotterel", c.before.empty() ? "No caption set" : c.before, answer);
            if (answer.size() > 32) {
                ui.expectMsgBox("Label too long", 0, "Jotterel");
            }
        }
        w.editCaption();
        EXPECT_TRUE(ui.done());
        EXPECT_EQ(platform::fromQString(w.captionLabel->text()), c.shown);
        EXPECT_EQ(module.caption(1), c.shown);
        if (c.saved) {
            EXPECT_EQ(storedCaptions().at(0), c.shown);
        } else {
            EXPECT_EQ(fixture::readBytes(captionsFile()), before);
        }
        form.reset();
        module = MemberSession(app.path());
        std::filesystem::remove_all(app.path() + "/Ann");
    }
}

TEST_F(CaptionEdit, EditOnPageFourRewritesAllFifteenLines) {
    makeMember("Ann", kKey, "pw");
    std::vector<std::string> lines(15, "No caption set");
    lines[0] = "Holidays";
    lines[3] = "Old four";
    lines[14] = "Last";
    fixture::writeBytes(captionsFile(), fixture::pageContent(kKey, lines));
    DiaryWindow& w = openDiary("Ann", "pw");
    w.pageSelector->setCurrentIndex(3);
    ASSERT_EQ(w.captionLabel->text(), "Old four");

    ui.expectInputBox(kPrompt, "Jotterel", "Old four", "Garden plans");
    QTest::mouseClick(w.captionLabel, Qt::LeftButton);
    EXPECT_TRUE(ui.done());

    lines[3] = "Garden plans";
    EXPECT_EQ(fixture::readBytes(captionsFile()), fixture::pageContent(kKey, lines));
    EXPECT_TRUE(fixture::isHidden(captionsFile()));
    EXPECT_EQ(w.captionLabel->text(), "Garden plans");
}

TEST_F(CaptionEdit, UnwritableCaptionsFileKeepsTheCaptionUntilTheNextPageSelection) {
    makeMember("Ann", kKey, "pw");
    DiaryWindow& w = openDiary("Ann", "pw");
    platform::deleteFile(captionsFile());

    ui.expectInputBox(kPrompt, "Jotterel", "No caption set", "Kept for now");
    w.editCaption(); // no message: the failed save is skipped
    EXPECT_EQ(w.captionLabel->text(), "Kept for now");
    EXPECT_EQ(module.caption(1), "Kept for now");
    EXPECT_FALSE(platform::pathExists(captionsFile()));

    w.nextPageButton->click();
    w.previousPageButton->click();
    EXPECT_EQ(w.captionLabel->text(), "No caption set");
}

} // namespace
