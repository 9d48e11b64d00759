#include <QComboBox>
#include <filesystem>
#include <gtest/gtest.h>

#include "login/LoginWindow.h"
#include "store/MemberList.h"
#include "support/gui/DiaryFixture.h"

// A link in the application folder that points at a member folder, or at any folder, is no
// member: the member's files would be reached through a path that somebody else controls.
namespace {

class LinkedMemberFolder : public DiaryFixture {};

TEST_F(LinkedMemberFolder, IsNeverOfferedAtTheLogin) {
#ifdef _WIN32
    GTEST_SKIP() << "Not on Windows: it links a folder to a member folder, which a Windows account without the right "
                    "to make links cannot, and Wine does not make.";
#endif
    const std::string ann = makeMember("Ann", 110, "Ann");
    std::filesystem::create_directory_symlink(ann, app / "Linked");
    std::filesystem::create_directory(app / "elsewhere");
    std::filesystem::create_directory_symlink(app / "elsewhere", app / "Folder");
    LoginWindow& login = openLoginWindow();
    ASSERT_EQ(login.memberSelector->count(), 1);
    EXPECT_EQ(login.memberSelector->itemText(0).toStdString(), "Ann");
    for (const ListedFolder& listed : listMemberFolders(app.path())) {
        EXPECT_NE(listed.name, "Linked");
        EXPECT_NE(listed.name, "Folder");
    }
    typeLogin(login, "Ann", "Ann");
    EXPECT_TRUE(login.loggedIn());
    EXPECT_TRUE(ui.done());
}

} // namespace
