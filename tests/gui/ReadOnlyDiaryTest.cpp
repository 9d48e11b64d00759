#include <QComboBox>
#include <QPushButton>
#include <filesystem>
#include <gtest/gtest.h>

#include "gui/FindFixture.h"
#include "platform/core/FileSystem.h"
#include "platform/qt/PageView.h"
#include "platform/qt/QtText.h"
#include "platform/qt/TextBox.h"
#include "store/MemberLock.h"
#include "support/core/OrdinaryUser.h"

// A diary on a folder that cannot be written (a backup, a read-only disk) opens for reading:
// every page and Find, with no message, before and after the member's first login (which
// leaves the member's lock file). What the commands that write say there is in WriteFaultTest.
namespace {

class ReadOnlyDiary : public FindFixture {};

TEST_F(ReadOnlyDiary, ShowsEveryPageAndFinds) {
    for (const bool loggedInBefore : {false, true}) {
        SCOPED_TRACE(loggedInBefore ? "after the first login" : "before the first login");
        std::filesystem::remove_all(app / "Ann");
        openAnnsDiary();
        form.reset();
        module.logOff();
        if (!loggedInBefore) {
            std::filesystem::remove(MemberLock::lockFilePath(app / "Ann"));
        }
        const fixture::ReadOnlyFolder readOnly(app.path());
        if (!readOnly.whyNot.empty()) {
            GTEST_SKIP() << readOnly.whyNot;
        }
        openDiary("Ann", "pw");
        ASSERT_EQ(module.currentMember(), "Ann");
        EXPECT_EQ(form->pageView->text(), "[1] \tBought apples (03Jan26, 10:15AM)\r\n\r\n");
        form->pageSelector->setCurrentIndex(3);
        EXPECT_EQ(form->pageView->text(), "[1] \tTea (01Dec26, 08:00AM)\r\n\r\n[2] \tWalk with Anna (02Dec26, "
                                          "04:10PM)\r\n\r\n[3] \tPost (03Dec26, 11:00AM)\r\n\r\n[4] \tBank (04Dec26, "
                                          "11:30AM)\r\n\r\n[5] \tAnna's cake (05Dec26, 06:45PM)\r\n\r\n");
        findText("", "anna");
        EXPECT_EQ(listed(), annaLines());
        results()->closeButton->click();
        EXPECT_EQ(platform::pathExists(MemberLock::lockFilePath(app / "Ann")), loggedInBefore);
        form.reset();
        module.logOff();
    }
}

} // namespace
