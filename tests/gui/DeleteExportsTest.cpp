#include <QAction>
#include <gtest/gtest.h>

#include "platform/core/FileAttributes.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "support/gui/DiaryFixture.h"

namespace {

constexpr const char* kNone = "No exported text files are present in your diary.";
constexpr const char* kSure = "Are you sure you want to delete the text files exported from this diary?";

class DeleteExports : public DiaryFixture {
protected:
    void SetUp() override {
        MakeMember("Ann", 105, "pw");
        OpenDiary("Ann", "pw");
    }

    std::string file(const std::string& name) const { return app / "Ann/" + name; }
    void writeExport(const std::string& name) { fixture::WriteBytes(file(name), "Page  1 of Ann's diary\r\n"); }
    bool exists(const std::string& name) const { return platform::PathExists(file(name)); }
    ScriptedDialogs::Box& ExpectOffer(const std::string& name, int answer) {
        return ui.ExpectMsgBox("Delete '" + name + "'?", 51, "Jotterel", answer);
    }
};

TEST_F(DeleteExports, OffersEachTextFileInTurn) {
    for (const char* name : {"B.txt", "A.txt", "NOTES.TXT", "notes.doc", "Page 3.txt"}) {
        writeExport(name);
    }
    platform::MakeFolder(file("old.txt")); // a folder is no export file
    ui.ExpectMsgBox(kSure, 52, "Jotterel", platform::vbYes);
    ExpectOffer("A.txt", platform::vbYes);
    ExpectOffer("B.txt", platform::vbNo);
    ExpectOffer("NOTES.TXT", platform::vbYes);
    ExpectOffer("Page 3.txt", platform::vbNo);
    form->mnuDelExports->trigger();
    EXPECT_TRUE(ui.Done());
    EXPECT_FALSE(exists("A.txt"));
    EXPECT_TRUE(exists("B.txt"));
    EXPECT_FALSE(exists("NOTES.TXT"));
    EXPECT_TRUE(exists("Page 3.txt"));
    EXPECT_TRUE(exists("notes.doc"));
    EXPECT_TRUE(exists("old.txt"));
    // The member's own files were never offered and are all there.
    for (int page = 1; page <= 15; ++page) {
        EXPECT_TRUE(exists(Module1::PageFileName(page)));
    }
    EXPECT_TRUE(exists(Module1::kPasswordFile));
    EXPECT_TRUE(exists(Module1::kCaptionsFile));
}

TEST_F(DeleteExports, CancelOrNoKeepsTheRest) {
    writeExport("A.txt");
    writeExport("B.txt");
    ui.ExpectMsgBox(kSure, 52, "Jotterel", platform::vbYes);
    ExpectOffer("A.txt", platform::vbCancel);
    form->mnuDelExports->trigger();
    ui.ExpectMsgBox(kSure, 52, "Jotterel", platform::vbNo);
    form->mnuDelExports->trigger();
    EXPECT_TRUE(ui.Done());
    EXPECT_TRUE(exists("A.txt"));
    EXPECT_TRUE(exists("B.txt"));
}

TEST_F(DeleteExports, HiddenTextFileIsNoExport) {
    writeExport("a.txt");
    platform::SetAttr(file("a.txt"), platform::kAttrHidden);
    ui.ExpectMsgBox(kNone, 64, "Jotterel");
    form->mnuDelExports->trigger();
    EXPECT_TRUE(ui.Done());
    EXPECT_TRUE(exists("a.txt"));
}

TEST_F(DeleteExports, FileThatCannotBeDeletedIsReportedAndTheNextIsOffered) {
    writeExport("A.txt");
    writeExport("B.txt");
    ui.ExpectMsgBox(kSure, 52, "Jotterel", platform::vbYes);
    // Another program takes A.txt away while its question is open.
    ExpectOffer("A.txt", platform::vbYes).whileShown = [&] { platform::DeleteFile(file("A.txt")); };
    ui.ExpectMsgBox("'A.txt' cannot be deleted.\r\r" + module.MemberFolder() + "/A.txt\r" + platform::ErrorText(ENOENT),
                    48, "Jotterel");
    ExpectOffer("B.txt", platform::vbYes);
    form->mnuDelExports->trigger();
    EXPECT_TRUE(ui.Done());
    EXPECT_FALSE(exists("B.txt"));
}

} // namespace
