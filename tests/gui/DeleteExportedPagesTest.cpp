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
        makeMember("Ann", 105, "pw");
        openDiary("Ann", "pw");
    }

    std::string file(const std::string& name) const { return app / "Ann/" + name; }
    void writeExport(const std::string& name) { fixture::writeBytes(file(name), "Page  1 of Ann's diary\r\n"); }
    bool exists(const std::string& name) const { return platform::pathExists(file(name)); }
    ScriptedDialogs::Box& expectOffer(const std::string& name, int answer) {
        return ui.expectMsgBox("Delete '" + name + "'?", 51, "Jotterel", answer);
    }
};

TEST_F(DeleteExports, OffersEachTextFileInTurn) {
    for (const char* name : {"B.txt", "A.txt", "NOTES.TXT", "notes.doc", "Page 3.txt"}) {
        writeExport(name);
    }
    platform::makeFolder(file("old.txt")); // a folder is no export file
    ui.expectMsgBox(kSure, 52, "Jotterel", platform::vbYes);
    expectOffer("A.txt", platform::vbYes);
    expectOffer("B.txt", platform::vbNo);
    expectOffer("NOTES.TXT", platform::vbYes);
    expectOffer("Page 3.txt", platform::vbNo);
    form->deleteExportedPagesAction->trigger();
    EXPECT_TRUE(ui.done());
    EXPECT_FALSE(exists("A.txt"));
    EXPECT_TRUE(exists("B.txt"));
    EXPECT_FALSE(exists("NOTES.TXT"));
    EXPECT_TRUE(exists("Page 3.txt"));
    EXPECT_TRUE(exists("notes.doc"));
    EXPECT_TRUE(exists("old.txt"));
    // The member's own files were never offered and are all there.
    for (int page = 1; page <= 15; ++page) {
        EXPECT_TRUE(exists(MemberFolder::pageFileName(page)));
    }
    EXPECT_TRUE(exists(MemberFolder::kPasswordFile));
    EXPECT_TRUE(exists(MemberFolder::kCaptionsFile));
}

TEST_F(DeleteExports, CancelOrNoKeepsTheRest) {
    writeExport("A.txt");
    writeExport("B.txt");
    ui.expectMsgBox(kSure, 52, "Jotterel", platform::vbYes);
    expectOffer("A.txt", platform::vbCancel);
    form->deleteExportedPagesAction->trigger();
    ui.expectMsgBox(kSure, 52, "Jotterel", platform::vbNo);
    form->deleteExportedPagesAction->trigger();
    EXPECT_TRUE(ui.done());
    EXPECT_TRUE(exists("A.txt"));
    EXPECT_TRUE(exists("B.txt"));
}

TEST_F(DeleteExports, HiddenTextFileIsNoExport) {
    writeExport("a.txt");
    platform::setAttr(file("a.txt"), platform::kAttrHidden);
    ui.expectMsgBox(kNone, 64, "Jotterel");
    form->deleteExportedPagesAction->trigger();
    EXPECT_TRUE(ui.done());
    EXPECT_TRUE(exists("a.txt"));
}

TEST_F(DeleteExports, FileThatCannotBeDeletedIsReportedAndTheNextIsOffered) {
    writeExport("A.txt");
    writeExport("B.txt");
    ui.expectMsgBox(kSure, 52, "Jotterel", platform::vbYes);
    // Another program takes A.txt away while its question is open.
    expectOffer("A.txt", platform::vbYes).whileShown = [&] { platform::deleteFile(file("A.txt")); };
    ui.expectMsgBox("'A.txt' cannot be deleted.\r\r" + platform::joinPath(module.memberFolder(), "A.txt") + "\r" +
                        platform::errorText(ENOENT),
                    48, "Jotterel");
    expectOffer("B.txt", platform::vbYes);
    form->deleteExportedPagesAction->trigger();
    EXPECT_TRUE(ui.done());
    EXPECT_FALSE(exists("B.txt"));
}

} // namespace
