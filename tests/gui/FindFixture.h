#pragma once

#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/qt/QtText.h"
#include "search/FindCommand.h"
#include "search/FindResultsWindow.h"
#include "search/ResultLines.h"
#include "support/gui/DiaryFixture.h"

// A logged-in diary whose pages hold a few entries about Anna, and the find results window
// its Find makes. No results window may outlive its test.
class FindFixture : public DiaryFixture {
protected:
    static constexpr int kKey = 110;

    // The member "Ann": page 2's file is missing, pages 5 to 11 and 13 to 15 are empty.
    DiaryWindow& openAnnsDiary() {
        makeMember("Ann", kKey, "pw");
        writePage("Ann", 1, kKey, {"Bought apples (03Jan26, 10:15AM)", ""});
        std::remove(pageFile("Ann", 2).c_str());
        writePage("Ann", 3, kKey,
                  {"Rain all day (07Dec26, 09:00AM)", "", "", "ANNA called; anna again (09Dec26, 08:30PM)", ""});
        writePage("Ann", 4, kKey,
                  {"Tea (01Dec26, 08:00AM)", "", "Walk with Anna (02Dec26, 04:10PM)", "", "Post (03Dec26, 11:00AM)", "",
                   "Bank (04Dec26, 11:30AM)", "", "Anna's cake (05Dec26, 06:45PM)", ""});
        writePage("Ann", 12, kKey, {"Dinner at anna's (12Mar26, 07:00PM)", ""});
        return openDiary("Ann", "pw");
    }

    void TearDown() override {
        form.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (QWidget* w : QApplication::topLevelWidgets()) {
            EXPECT_EQ(qobject_cast<FindResultsWindow*>(w), nullptr) << "a results window outlived the main window";
        }
    }

    // The Find prompt, expected to offer defaultText, answered with input.
    void expectPrompt(const std::string& defaultText, const std::string& input) {
        ui.expectInputBox("Enter text to search for in your diary", "Jotterel", defaultText, input);
    }
    // Find, with one prompt and whatever else the test expects after it.
    void findText(const std::string& defaultText, const std::string& input) {
        expectPrompt(defaultText, input);
        form->findAction->trigger();
        EXPECT_TRUE(ui.done());
    }
    void expectNotFound() { ui.expectMsgBox("Text not found.", 48, "Jotterel"); }

    FindResultsWindow* results() const { return form->findChild<FindCommand*>()->resultsWindow(); }

    std::vector<std::string> listed() const {
        std::vector<std::string> lines;
        if (FindResultsWindow* w = results()) {
            for (int i = 0; i < w->lines().count(); ++i) {
                lines.push_back(platform::fromQString(w->lines().line(i)));
            }
        }
        return lines;
    }

    // The result lines of Anna's diary for "anna", in any letter case.
    static std::vector<std::string> annaLines() {
        return {" 3     [2] ANNA called; anna again (09Dec26, 08:30PM)", " 4     [2] Walk with Anna (02Dec26, 04:10PM)",
                " 4     [5] Anna's cake (05Dec26, 06:45PM)", " 12     [1] Dinner at anna's (12Mar26, 07:00PM)"};
    }
};
