#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

#include "platform/core/FileSystem.h"
#include "platform/qt/Ansi.h"
#include "platform/qt/Label.h"
#include "support/gui/DiaryFixture.h"

namespace {

constexpr int kKey = 112;
const char* const kPrompt = "Enter a caption for this page (upto 32 characters long)";

class CaptionEdit : public DiaryFixture {
protected:
    std::string captionsFile() const { return fixture::MemberFile(app.path(), "Ann", Module1::kCaptionsFile); }
    std::vector<std::string> storedCaptions() const {
        std::vector<std::string> plain;
        for (const std::string& line : platform::ReadLines(captionsFile())) {
            plain.push_back(Module1::DecryptWithKey(line, kKey));
        }
        return plain;
    }
};

TEST_F(CaptionEdit, AnswersOfTheInputBox) {
    const std::string exactly32(32, 'x');
    struct Case {
        const char* name;
        std::vector<std::string> answers; // given to the input boxes in turn
        std::string shown;                // the caption afterwards
        bool saved;
    };
    const Case cases[] = {
        {"32 characters", {exactly32}, exactly32, true},
        {"33 characters, then 32", {exactly32 + "y", exactly32}, exactly32, true},
        {"cancel after too long", {exactly32 + "y", ""}, "No caption set", false},
        {"blanks only", {"   "}, "   ", true},
        {"kept as typed", {" a, \"b\" <i>c</i> "}, " a, \"b\" <i>c</i> ", true},
        {"cancel", {""}, "No caption set", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MakeMember("Ann", kKey, "pw");
        Form1& w = OpenDiary("Ann", "pw");
        for (const std::string& answer : c.answers) {
            // Every question offers the caption shown, never a refused answer.
            ui.ExpectInputBox(kPrompt, "Jotterel", "No caption set", answer);
            if (answer.size() > 32) {
                ui.ExpectMsgBox("Label too long", 0, "Jotterel");
            }
        }
        w.Label2_Click();
        EXPECT_TRUE(ui.Done());
        EXPECT_EQ(platform::FromQString(w.Label2->text()), c.shown);
        EXPECT_EQ(module.Caption(1), c.shown);
        if (c.saved) {
            EXPECT_EQ(storedCaptions().at(0), c.shown);
        } else {
            EXPECT_EQ(fixture::ReadBytes(captionsFile()), "");
        }
        form.reset();
        module = Module1(app.path());
        std::filesystem::remove_all(app.path() + "/Ann");
    }
}

TEST_F(CaptionEdit, EditOnPageFourRewritesAllFifteenLines) {
    MakeMember("Ann", kKey, "pw");
    std::vector<std::string> lines(15, "No caption set");
    lines[0] = "Holidays";
    lines[3] = "Old four";
    lines[14] = "Last";
    fixture::WriteBytes(captionsFile(), fixture::PageContent(kKey, lines));
    Form1& w = OpenDiary("Ann", "pw");
    w.Combo1->setCurrentIndex(3);
    ASSERT_EQ(w.Label2->text(), "Old four");

    ui.ExpectInputBox(kPrompt, "Jotterel", "Old four", "Garden plans");
    QTest::mouseClick(w.Label2, Qt::LeftButton);
    EXPECT_TRUE(ui.Done());

    lines[3] = "Garden plans";
    EXPECT_EQ(fixture::ReadBytes(captionsFile()), fixture::PageContent(kKey, lines));
    EXPECT_TRUE(fixture::IsHidden(captionsFile()));
    EXPECT_EQ(w.Label2->text(), "Garden plans");
}

TEST_F(CaptionEdit, UnwritableCaptionsFileKeepsTheCaptionUntilTheNextPageSelection) {
    MakeMember("Ann", kKey, "pw");
    Form1& w = OpenDiary("Ann", "pw");
    platform::DeleteFile(captionsFile());

    ui.ExpectInputBox(kPrompt, "Jotterel", "No caption set", "Kept for now");
    w.Label2_Click(); // no message: the failed save is skipped
    EXPECT_EQ(w.Label2->text(), "Kept for now");
    EXPECT_EQ(module.Caption(1), "Kept for now");
    EXPECT_FALSE(platform::PathExists(captionsFile()));

    w.Command2->click();
    w.Command1->click();
    EXPECT_EQ(w.Label2->text(), "No caption set");
}

} // namespace
