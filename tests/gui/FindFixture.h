#pragma once

#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/qt/Ansi.h"
#include "search/FindCommand.h"
#include "search/Form3.h"
#include "search/ResultLines.h"
#include "support/gui/DiaryFixture.h"

// A logged-in diary whose pages hold a few entries about Anna, and the find results window
// its Find makes. No results window may outlive its test.
class FindFixture : public DiaryFixture {
protected:
    static constexpr int kKey = 110;

    // The member "Ann": page 2's file is missing, pages 5 to 11 and 13 to 15 are empty.
    Form1& OpenAnnsDiary() {
        MakeMember("Ann", kKey, "pw");
        WritePage("Ann", 1, kKey, {"Bought apples (03Jan26, 10:15AM)", ""});
        std::remove(PageFile("Ann", 2).c_str());
        WritePage("Ann", 3, kKey,
                  {"Rain all day (07Dec26, 09:00AM)", "", "", "ANNA called; anna again (09Dec26, 08:30PM)", ""});
        WritePage("Ann", 4, kKey,
                  {"Tea (01Dec26, 08:00AM)", "", "Walk with Anna (02Dec26, 04:10PM)", "", "Post (03Dec26, 11:00AM)", "",
                   "Bank (04Dec26, 11:30AM)", "", "Anna's cake (05Dec26, 06:45PM)", ""});
        WritePage("Ann", 12, kKey, {"Dinner at anna's (12Mar26, 07:00PM)", ""});
        return OpenDiary("Ann", "pw");
    }

    void TearDown() override {
        form.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (QWidget* w : QApplication::topLevelWidgets()) {
            EXPECT_EQ(qobject_cast<Form3*>(w), nullptr) << "a results window outlived the main window";
        }
    }

    // The Find prompt, expected to offer defaultText, answered with input.
    void ExpectPrompt(const std::string& defaultText, const std::string& input) {
        ui.ExpectInputBox(FindCommand::kPrompt, "Jotterel", defaultText, input);
    }
    // Find, with one prompt and whatever else the test expects after it.
    void FindText(const std::string& defaultText, const std::string& input) {
        ExpectPrompt(defaultText, input);
        form->mnuFind->trigger();
        EXPECT_TRUE(ui.Done());
    }
    void ExpectNotFound() { ui.ExpectMsgBox("Text not found.", 48, "Jotterel"); }

    Form3* Results() const { return form->findChild<FindCommand*>()->ResultsWindow(); }

    std::vector<std::string> Listed() const {
        std::vector<std::string> lines;
        if (Form3* w = Results()) {
            for (int i = 0; i < w->Lines().Count(); ++i) {
                lines.push_back(platform::FromQString(w->Lines().Line(i)));
            }
        }
        return lines;
    }

    // The result lines of Anna's diary for "anna", in any letter case.
    static std::vector<std::string> AnnaLines() {
        return {" 3     [2] ANNA called; anna again (09Dec26, 08:30PM)", " 4     [2] Walk with Anna (02Dec26, 04:10PM)",
                " 4     [5] Anna's cake (05Dec26, 06:45PM)", " 12     [1] Dinner at anna's (12Mar26, 07:00PM)"};
    }
};
