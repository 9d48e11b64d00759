#include <QComboBox>
#include <QListWidget>
#include <filesystem>
#include <gtest/gtest.h>

#include "login/Form2.h"
#include "support/gui/DiaryFixture.h"

// A link in the application folder that points at a member folder, or at any folder, is no
// member: the member's files would be reached through a path that somebody else controls.
namespace {

class LinkedMemberFolder : public DiaryFixture {};

TEST_F(LinkedMemberFolder, IsNeverOfferedAtTheLogin) {
    const std::string ann = MakeMember("Ann", 110, "Ann");
    std::filesystem::create_directory_symlink(ann, app / "Linked");
    std::filesystem::create_directory(app / "elsewhere");
    std::filesystem::create_directory_symlink(app / "elsewhere", app / "Folder");
    Form2& login = OpenLoginWindow();
    ASSERT_EQ(login.Combo1->count(), 1);
    EXPECT_EQ(login.Combo1->itemText(0).toStdString(), "Ann");
    for (int i = 0; i < login.List1->count(); ++i) {
        const std::string listed = login.List1->item(i)->text().toStdString();
        EXPECT_NE(listed, "Linked");
        EXPECT_NE(listed, "Folder");
    }
    TypeLogin(login, "Ann", "Ann");
    EXPECT_TRUE(login.LoggedIn());
    EXPECT_TRUE(ui.Done());
}

} // namespace
