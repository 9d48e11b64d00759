#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

#include "login/Form2.h"
#include "platform/core/FileAttributes.h"
#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "platform/core/Unicode.h"
#include "platform/qt/Ansi.h"
#include "store/MemberName.h"
#include "store/PasswordFile.h"
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
        items.push_back(platform::FromQString(combo->itemText(i)));
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
    void willAnswer(const std::string& name) { ui.ExpectInputBox("Enter user name", "Add new user", "", name); }
};

TEST_F(AddMember, GardenFolderByteForByte) {
    Form2& w = OpenLoginWindow();
    willAnswer("Garden");
    ui.ExpectMsgBox(told("Garden", "Gard", 4), 64, "Jotterel");
    w.Command3->click();
    ASSERT_TRUE(ui.Done());

    const std::string folder = app / "Garden";
    const int key = PasswordFile::Read(folder + "/QRBNSTJ4").key;
    ASSERT_GE(key, 100);
    ASSERT_LE(key, 130);
    EXPECT_FALSE(module.LoggedIn()); // nobody is logged in
    EXPECT_EQ(module.CurrentUser(), "");

    std::vector<std::string> expected = {"QRBNSTJ4", "UBF8USBS"};
    for (int page = 1; page <= 15; ++page) {
        expected.push_back(Module1::PageFileName(page));
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(allNames(folder), expected);

    // Key line: a space and the key, shifted by 128; then the password and the marker under the key.
    const std::string keyLine = shifted(" " + std::to_string(key), 128);
    EXPECT_EQ(keyLine.substr(0, 2), std::string("\xA0\xB1", 2)); // " 1"
    EXPECT_EQ(fixture::ReadBytes(folder + "/QRBNSTJ4"),
              keyLine + "\r\n" + shifted("Gard", key) + "\r\n" + shifted("usngubnrys", key) + "\r\n");
    for (const std::string& file : expected) {
        EXPECT_TRUE(fixture::IsHidden(folder + "/" + file)) << file;
        if (file != "QRBNSTJ4") {
            EXPECT_EQ(std::filesystem::file_size(folder + "/" + file), 0u) << file;
        }
    }
    EXPECT_EQ(platform::GetAttr(folder), platform::kAttrDirectory); // the folder itself is visible
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
        Form2& w = OpenLoginWindow();
        willAnswer(c.name);
        ui.ExpectMsgBox(told(c.name, c.password, static_cast<int>(platform::CharacterCount(c.password))), 64,
                        "Jotterel");
        w.Command3->click();
        ASSERT_TRUE(ui.Done());
        EXPECT_EQ(platform::FromQString(w.Combo1->currentText()), c.name);
        w.Text1->setText(platform::ToQString(c.typed));
        w.Command1->click();
        EXPECT_TRUE(w.LoggedIn());
        EXPECT_EQ(module.CurrentUser(), c.name);
        EXPECT_EQ(module.EnteredPassword(), c.typed);
        EXPECT_EQ(form->windowTitle(), platform::ToQString("Jotterel of '" + c.name + "'"));
        module.LogOff();
    }
}

TEST_F(AddMember, CancelOrEmptyAnswerDoesNothing) {
    Form2& w = OpenLoginWindow();
    willAnswer(""); // Cancel gives empty text too
    w.Command3->click();
    EXPECT_TRUE(allNames(app.path()).empty());
    EXPECT_EQ(w.Combo1->count(), 0);
    EXPECT_FALSE(w.Command1->isEnabled());
    EXPECT_EQ(w.Text1->text(), "Nobody");
}

TEST_F(AddMember, RefreshListsEveryVisibleSubfolderAndSelectsTheNewName) {
    MakeMember("Ann", 110, "pw");
    platform::MakeFolder(app / "Photos"); // not a member: no password file
    platform::MakeFolder(app / "Secret");
    platform::SetAttr(app / "Secret", platform::kAttrHidden);
    fixture::WriteBytes(app / "notes.txt", "x");
    Form2& w = OpenLoginWindow();
    EXPECT_EQ(comboItems(w.Combo1), (std::vector<std::string>{"Ann"}));
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.Text1->setText(QStringLiteral("half typed"));
    w.Combo1->setFocus();

    willAnswer("Bob");
    ui.ExpectMsgBox(told("Bob", "Bob", 3), 64, "Jotterel");
    w.Command3->click();
    EXPECT_EQ(comboItems(w.Combo1), (std::vector<std::string>{"Ann", "Bob", "Photos"}));
    EXPECT_EQ(w.Combo1->currentText(), "Bob");
    EXPECT_TRUE(w.Text1->isEnabled());
    EXPECT_TRUE(w.Command1->isEnabled());
    EXPECT_EQ(w.Text1->text(), "");
    EXPECT_EQ(QApplication::focusWidget(), w.Text1);
    EXPECT_TRUE(w.isVisible()); // the window stays open for the login
}

TEST_F(AddMember, FirstMemberEnablesTheLogin) {
    Form2& w = OpenLoginWindow();
    EXPECT_FALSE(w.Text1->isEnabled());
    EXPECT_FALSE(w.Command1->isEnabled());
    willAnswer("Bo");
    ui.ExpectMsgBox(told("Bo", "Bo", 2), 64, "Jotterel");
    w.Command3->click();
    EXPECT_TRUE(w.Text1->isEnabled());
    EXPECT_TRUE(w.Command1->isEnabled());
    EXPECT_EQ(w.Text1->text(), "");
    EXPECT_EQ(w.Combo1->currentText(), "Bo");
}

TEST_F(AddMember, RefusedNamesCreateNothing) {
    const std::string names[] = {".",    "..",   "../outside", "a/b",     "/tmp/abs",
                                 "a\\b", "x\ty", "\x7F",       ".hidden", std::string(256, 'n')};
    const std::string outside = platform::FolderOf(app.path()) + "/outside";
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        Form2& w = OpenLoginWindow();
        const auto problem = MemberNameProblem(name);
        ASSERT_TRUE(problem.has_value());
        willAnswer(name);
        ui.ExpectMsgBox("The name '" + name + "' cannot be a member name: " + *problem + "\r\rNo member was added.", 48,
                        "Jotterel");
        w.Command3->click();
        EXPECT_TRUE(ui.Done());
        EXPECT_TRUE(allNames(app.path()).empty());
        EXPECT_FALSE(platform::PathExists(outside));
    }
}

TEST_F(AddMember, ExistingNameLeavesEverythingAsItWas) {
    MakeMember("Ann", 121, "secret");
    WritePage("Ann", 1, 121, {"kept", ""});
    platform::MakeFolder(app / "Photos");
    fixture::WriteBytes(app / "notes", "x");
    auto snapshot = [&] {
        std::vector<std::string> state;
        for (const auto& e : std::filesystem::recursive_directory_iterator(app.path())) {
            state.push_back(e.path().string());
            if (e.is_regular_file()) {
                state.push_back(fixture::ReadBytes(e.path().string()));
                state.push_back(std::to_string(platform::GetAttr(e.path().string())));
            }
        }
        std::sort(state.begin(), state.end());
        return state;
    };
    const auto before = snapshot();
    for (const std::string name : {"Ann", "Photos", "notes"}) {
        SCOPED_TRACE(name);
        Form2& w = OpenLoginWindow();
        willAnswer(name);
        ui.ExpectMsgBox("The name '" + name +
                            "' is taken: the application folder already holds a member or a folder of that "
                            "name.\r\rNo member was added and nothing was changed.",
                        48, "Jotterel");
        w.Command3->click();
        EXPECT_TRUE(ui.Done());
        EXPECT_EQ(snapshot(), before);
        EXPECT_EQ(comboItems(w.Combo1), (std::vector<std::string>{"Ann"})); // no refresh
    }
}

TEST_F(AddMember, FolderThatCannotBeCreatedIsReported) {
    Form2& w = OpenLoginWindow();
    module.AppPath = app / "gone"; // the application folder has disappeared
    willAnswer("Bob");
    ui.ExpectMsgBox("The folder of the new member 'Bob' cannot be created. No member was added.\r\r" + app.path() +
                        "/gone/Bob\rNo such file or directory",
                    48, "Jotterel");
    w.Command3->click();
    EXPECT_TRUE(ui.Done());
    EXPECT_TRUE(allNames(app.path()).empty());
}

TEST_F(AddMember, FailureAfterTheFolderRemovesItSoTheNameCanBeAddedAgain) {
    Form2& w = OpenLoginWindow();
    {
        const fixture::DiskFullAfter full(0);
        willAnswer("Bob");
        ui.ExpectMsgBox("The member 'Bob' cannot be added: a file of the member folder cannot be made. The folder made "
                        "for 'Bob' has been removed again, so nothing was added.\r\r" +
                            app.path() + "/Bob/QRBNSTJ4\rNo space left on device",
                        48, "Jotterel");
        w.Command3->click();
        EXPECT_TRUE(ui.Done());
        EXPECT_TRUE(allNames(app.path()).empty());
    }
    willAnswer("Bob");
    ui.ExpectMsgBox(told("Bob", "Bob", 3), 64, "Jotterel");
    w.Command3->click();
    EXPECT_TRUE(ui.Done());
    EXPECT_EQ(allNames(app / "Bob").size(), 17u);
    EXPECT_EQ(w.Combo1->currentText(), "Bob");
}

TEST_F(AddMember, FolderThatCannotBeRemovedAgainIsNamed) {
    Form2& w = OpenLoginWindow();
    const fixture::DiskFullAfter full(0);
    const std::string failed = app.path() + "/Bob/QRBNSTJ4\rNo space left on device";
    // A first try counts the steps; removing the folder is the last of them.
    constexpr std::uint64_t kMany = 1000;
    platform::SetFaultAfterSteps(kMany);
    willAnswer("Bob");
    ui.ExpectMsgBox("The member 'Bob' cannot be added: a file of the member folder cannot be made. The folder made "
                    "for 'Bob' has been removed again, so nothing was added.\r\r" +
                        failed,
                    48, "Jotterel");
    w.Command3->click();
    const std::uint64_t steps = kMany - platform::StepsBeforeFault().value_or(0);
    platform::SetFaultAfterSteps(steps - 1);
    willAnswer("Bob");
    ui.ExpectMsgBox("The member 'Bob' cannot be added: a file of the member folder cannot be made, and the folder "
                    "made for 'Bob' cannot be removed again. Delete that folder before adding 'Bob' again.\r\r" +
                        failed,
                    48, "Jotterel");
    w.Command3->click();
    platform::SetFaultAfterSteps(std::nullopt);
    EXPECT_TRUE(ui.Done());
    EXPECT_EQ(allNames(app.path()), (std::vector<std::string>{"Bob"}));
    EXPECT_TRUE(allNames(app / "Bob").empty());
}

} // namespace
