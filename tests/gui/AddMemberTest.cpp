#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>

#include "login/LoginWindow.h"
#include "platform/core/FileAttributes.h"
#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Native.h"
#include "platform/core/Paths.h"
#include "platform/core/Unicode.h"
#include "platform/qt/QtText.h"
#include "store/MemberName.h"
#include "store/PasswordFile.h"
#include "support/core/SystemErrors.h"
#include "support/gui/DiaryFixture.h"

namespace {

const char* const kAdvice = "You are advised to change your password as soon as you login.";

std::string told(const std::string& name, const std::string& password, int chars) {
    return "Username = '" + name + "'\rPassword = '" + password + "'     ( " + std::to_string(chars) + " chars)\r\r" +
           kAdvice;
}

// Each byte of text raised by shift, written out here rather than through the codec.
std::string shifted(std::string_view text, int shift) {
    std::string out;
    for (char c : text) {
        out += static_cast<char>(static_cast<unsigned char>(c) + shift);
    }
    return out;
}

std::vector<std::string> comboItems(const QComboBox* combo) {
    std::vector<std::string> items;
    for (int i = 0; i < combo->count(); ++i) {
        items.push_back(platform::fromQString(combo->itemText(i)));
    }
    return items;
}

// Every name in a folder, hidden or not.
std::vector<std::string> allNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class AddMember : public DiaryFixture {
protected:
    // The Add user button's input box will be answered with name.
    void willAnswer(const std::string& name) { ui.expectInputBox("Enter user name", "Add new user", "", name); }
};

TEST_F(AddMember, GardenFolderByteForByte) {
    LoginWindow& w = openLoginWindow();
    willAnswer("Garden");
    ui.expectMsgBox(told("Garden", "Gard", 4), 64, "Jotterel");
    w.addMemberButton->click();
    ASSERT_TRUE(ui.done());

    const std::string folder = app / "Garden";
    const int key = PasswordFile::read(folder + "/QRBNSTJ4").key;
    ASSERT_GE(key, 100);
    ASSERT_LE(key, 130);
    EXPECT_FALSE(module.loggedIn()); // nobody is logged in
    EXPECT_EQ(module.currentMember(), "");

    std::vector<std::string> expected = {"QRBNSTJ4", "UBF8USBS"};
    for (int page = 1; page <= 15; ++page) {
        expected.push_back(MemberFolder::pageFileName(page));
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(allNames(folder), expected);

    // Key line: a space and the key, shifted by 128; then the password and the marker under the key.
    const std::string keyLine = shifted(" " + std::to_string(key), 128);
    EXPECT_EQ(keyLine.substr(0, 2), std::string("\xA0\xB1", 2)); // " 1"
    EXPECT_EQ(fixture::readBytes(folder + "/QRBNSTJ4"),
              keyLine + "\r\n" + shifted("Gard", key) + "\r\n" + shifted("usngubnrys", key) + "\r\n");
    for (const std::string& file : expected) {
        EXPECT_TRUE(fixture::isHidden(folder + "/" + file)) << file;
        if (file != "QRBNSTJ4") {
            EXPECT_EQ(std::filesystem::file_size(folder + "/" + file), 0u) << file;
        }
    }
    EXPECT_EQ(platform::getAttr(folder), platform::kAttrDirectory); // the folder itself is visible
}

TEST_F(AddMember, MessageTellsNameAndPasswordThatLogIn) {
    struct Case {
        std::string name;
        std::string password; // as told
        std::string typed;    // at the login, in other letter case
    };
    const Case cases[] = {
        {"Garden", "Gard", "gARD"},
        {"Al", "Al", "aL"}, // a short name is its own password
        {"Anna Lee", "Anna", "ANNA"},
        {"a b", "a b", "A B"}, // a blank counts
        // Any language: a character a key cannot shift is stored as a reference and comes back.
        {"\xE2\x82\xACuro", "\xE2\x82\xACuro", "\xE2\x82\xACURO"}, // €uro
        {"Zo\xC3\xAB", "Zo\xC3\xAB", "zO\xC3\x8B"},                // Zoë, zOË
        {"\xC3\x89lise", "\xC3\x89lis", "\xC3\xA9LIS"},            // Élise, éLIS
        {"\xD0\x90\xD0\xBD\xD0\xBD\xD0\xB0", "\xD0\x90\xD0\xBD\xD0\xBD\xD0\xB0",
         "\xD0\xB0\xD0\x9D\xD0\x9D\xD0\x90"}, // Анна, аННА
        {"\xE6\x97\xA5\xE8\xA8\x98\xE5\xB8\xB3\xE3\x81\xA7\xE3\x81\x99",
         "\xE6\x97\xA5\xE8\xA8\x98\xE5\xB8\xB3\xE3\x81\xA7",
         "\xE6\x97\xA5\xE8\xA8\x98\xE5\xB8\xB3\xE3\x81\xA7"}, // 日記帳です: four characters
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoginWindow& w = openLoginWindow();
        willAnswer(c.name);
        ui.expectMsgBox(told(c.name, c.password, static_cast<int>(platform::characterCount(c.password))), 64,
                        "Jotterel");
        w.addMemberButton->click();
        ASSERT_TRUE(ui.done());
        EXPECT_EQ(platform::fromQString(w.memberSelector->currentText()), c.name);
        w.passwordBox->setText(platform::toQString(c.typed));
        w.okButton->click();
        EXPECT_TRUE(w.loggedIn());
        EXPECT_EQ(module.currentMember(), c.name);
        EXPECT_EQ(module.enteredPassword(), c.typed);
        EXPECT_EQ(form->windowTitle(), platform::toQString("Jotterel of '" + c.name + "'"));
        module.logOff();
    }
}

TEST_F(AddMember, CancelOrEmptyAnswerDoesNothing) {
    LoginWindow& w = openLoginWindow();
    willAnswer(""); // Cancel gives empty text too
    w.addMemberButton->click();
    EXPECT_TRUE(allNames(app.path()).empty());
    EXPECT_EQ(w.memberSelector->count(), 0);
    EXPECT_FALSE(w.okButton->isEnabled());
    EXPECT_EQ(w.passwordBox->text(), "Nobody");
}

TEST_F(AddMember, RefreshListsEveryVisibleSubfolderAndSelectsTheNewName) {
    makeMember("Ann", 110, "pw");
    platform::makeFolder(app / "Photos"); // not a member: no password file
    platform::makeFolder(app / "Secret");
    platform::setAttr(app / "Secret", platform::kAttrHidden);
    fixture::writeBytes(app / "notes.txt", "x");
    LoginWindow& w = openLoginWindow();
    EXPECT_EQ(comboItems(w.memberSelector), (std::vector<std::string>{"Ann"}));
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.passwordBox->setText(QStringLiteral("half typed"));
    w.memberSelector->setFocus();

    willAnswer("Bob");
    ui.expectMsgBox(told("Bob", "Bob", 3), 64, "Jotterel");
    w.addMemberButton->click();
    EXPECT_EQ(comboItems(w.memberSelector), (std::vector<std::string>{"Ann", "Bob", "Photos"}));
    EXPECT_EQ(w.memberSelector->currentText(), "Bob");
    EXPECT_TRUE(w.passwordBox->isEnabled());
    EXPECT_TRUE(w.okButton->isEnabled());
    EXPECT_EQ(w.passwordBox->text(), "");
    EXPECT_EQ(QApplication::focusWidget(), w.passwordBox);
    EXPECT_TRUE(w.isVisible()); // the window stays open for the login
}

TEST_F(AddMember, FirstMemberEnablesTheLogin) {
    LoginWindow& w = openLoginWindow();
    EXPECT_FALSE(w.passwordBox->isEnabled());
    EXPECT_FALSE(w.okButton->isEnabled());
    willAnswer("Bo");
    ui.expectMsgBox(told("Bo", "Bo", 2), 64, "Jotterel");
    w.addMemberButton->click();
    EXPECT_TRUE(w.passwordBox->isEnabled());
    EXPECT_TRUE(w.okButton->isEnabled());
    EXPECT_EQ(w.passwordBox->text(), "");
    EXPECT_EQ(w.memberSelector->currentText(), "Bo");
}

TEST_F(AddMember, RefusedNamesCreateNothing) {
    const std::string names[] = {".",    "..",   "../outside", "a/b",     "/tmp/abs",
                                 "a\\b", "x\ty", "\x7F",       ".hidden", std::string(256, 'n')};
    const std::string outside = platform::folderOf(app.path()) + "/outside";
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        LoginWindow& w = openLoginWindow();
        const auto problem = memberNameProblem(name);
        ASSERT_TRUE(problem.has_value());
        willAnswer(name);
        ui.expectMsgBox("The name '" + name + "' cannot be a member name: " + *problem + "\r\rNo member was added.", 48,
                        "Jotterel");
        w.addMemberButton->click();
        EXPECT_TRUE(ui.done());
        EXPECT_TRUE(allNames(app.path()).empty());
        EXPECT_FALSE(platform::pathExists(outside));
    }
}

TEST_F(AddMember, ExistingNameLeavesEverythingAsItWas) {
    makeMember("Ann", 121, "secret");
    writePage("Ann", 1, 121, {"kept", ""});
    platform::makeFolder(app / "Photos");
    fixture::writeBytes(app / "notes", "x");
    auto snapshot = [&] {
        std::vector<std::string> state;
        for (const auto& e : std::filesystem::recursive_directory_iterator(app.path())) {
            state.push_back(e.path().string());
            if (e.is_regular_file()) {
                state.push_back(fixture::readBytes(e.path().string()));
                state.push_back(std::to_string(platform::getAttr(e.path().string())));
            }
        }
        std::sort(state.begin(), state.end());
        return state;
    };
    const auto before = snapshot();
    for (const std::string name : {"Ann", "Photos", "notes"}) {
        SCOPED_TRACE(name);
        LoginWindow& w = openLoginWindow();
        willAnswer(name);
        ui.expectMsgBox("The name '" + name +
                            "' is taken: the application folder already holds a member or a folder of that "
                            "name.\r\rNo member was added and nothing was changed.",
                        48, "Jotterel");
        w.addMemberButton->click();
        EXPECT_TRUE(ui.done());
        EXPECT_EQ(snapshot(), before);
        EXPECT_EQ(comboItems(w.memberSelector), (std::vector<std::string>{"Ann"})); // no refresh
    }
}

TEST_F(AddMember, FolderThatCannotBeCreatedIsReported) {
    LoginWindow& w = openLoginWindow();
    module = MemberSession(app / "gone"); // the application folder has disappeared
    willAnswer("Bob");
    ui.expectMsgBox("The folder of the new member 'Bob' cannot be created. No member was added.\r\r" +
                        platform::joinPath(app / "gone", "Bob") + "\r" +
                        platform::errorText(fixture::missingFolderError()),
                    48, "Jotterel");
    w.addMemberButton->click();
    EXPECT_TRUE(ui.done());
    EXPECT_TRUE(allNames(app.path()).empty());
}

TEST_F(AddMember, FailureAfterTheFolderRemovesItSoTheNameCanBeAddedAgain) {
    LoginWindow& w = openLoginWindow();
    {
        const fixture::DiskFullAfter full(0);
        willAnswer("Bob");
        ui.expectMsgBox("The member 'Bob' cannot be added: a file of the member folder cannot be made. The folder made "
                        "for 'Bob' has been removed again, so nothing was added.\r\r" +
                            platform::joinPath(app / "Bob", "QRBNSTJ4") + "\r" +
                            platform::errorText(platform::native::fullDiskError()),
                        48, "Jotterel");
        w.addMemberButton->click();
        EXPECT_TRUE(ui.done());
        EXPECT_TRUE(allNames(app.path()).empty());
    }
    willAnswer("Bob");
    ui.expectMsgBox(told("Bob", "Bob", 3), 64, "Jotterel");
    w.addMemberButton->click();
    EXPECT_TRUE(ui.done());
    EXPECT_EQ(allNames(app / "Bob").size(), 17u);
    EXPECT_EQ(w.memberSelector->currentText(), "Bob");
}

TEST_F(AddMember, FolderThatCannotBeRemovedAgainIsNamed) {
    LoginWindow& w = openLoginWindow();
    const fixture::DiskFullAfter full(0);
    const std::string failed =
        platform::joinPath(app / "Bob", "QRBNSTJ4") + "\r" + platform::errorText(platform::native::fullDiskError());
    // A first try counts the steps; removing the folder is the last of them.
    constexpr std::uint64_t kMany = 1000;
    platform::setFaultAfterSteps(kMany);
    willAnswer("Bob");
    ui.expectMsgBox("The member 'Bob' cannot be added: a file of the member folder cannot be made. The folder made "
                    "for 'Bob' has been removed again, so nothing was added.\r\r" +
                        failed,
                    48, "Jotterel");
    w.addMemberButton->click();
    const std::uint64_t steps = kMany - platform::stepsBeforeFault().value_or(0);
    platform::setFaultAfterSteps(steps - 1);
    willAnswer("Bob");
    ui.expectMsgBox("The member 'Bob' cannot be added: a file of the member folder cannot be made, and the folder "
                    "made for 'Bob' cannot be removed again. Delete that folder before adding 'Bob' again.\r\r" +
                        failed,
                    48, "Jotterel");
    w.addMemberButton->click();
    platform::setFaultAfterSteps(std::nullopt);
    EXPECT_TRUE(ui.done());
    EXPECT_EQ(allNames(app.path()), (std::vector<std::string>{"Bob"}));
    EXPECT_TRUE(allNames(app / "Bob").empty());
}

} // namespace
