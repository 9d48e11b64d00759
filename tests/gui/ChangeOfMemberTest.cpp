#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>

#include "gui/FindFixture.h"
#include "login/Form2.h"
#include "platform/core/Clock.h"
#include "platform/qt/Label.h"
#include "platform/qt/TextBox.h"

namespace {

// Every text shown in the visible windows: titles, labels, text boxes, lists and menu items.
std::vector<QString> textsOnScreen() {
    std::vector<QString> texts;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible()) {
            continue;
        }
        texts.push_back(window->windowTitle());
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (auto* label = qobject_cast<QLabel*>(w)) {
                texts.push_back(label->text());
            } else if (auto* line = qobject_cast<QLineEdit*>(w)) {
                texts.push_back(line->text());
            } else if (auto* box = qobject_cast<QPlainTextEdit*>(w)) {
                texts.push_back(box->toPlainText());
            } else if (auto* view = qobject_cast<QAbstractItemView*>(w); view && view->model()) {
                for (int row = 0; row < view->model()->rowCount(); ++row) {
                    texts.push_back(view->model()->index(row, 0).data().toString());
                }
            }
        }
        for (QAction* action : window->findChildren<QAction*>()) {
            texts.push_back(action->text());
        }
    }
    return texts;
}

// Names and bytes of the files in a folder; empty when the folder is gone.
std::map<std::string, std::string> folderBytes(const std::string& folder) {
    std::map<std::string, std::string> files;
    if (std::filesystem::exists(folder)) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            files[entry.path().filename().string()] = fixture::ReadBytes(entry.path().string());
        }
    }
    return files;
}

enum class Leave { LogOff, DeleteUser, FailedLoginThenLogOff };
enum class Next { Exit, EditCaption, Commit, ExportPage, ExportAll, DeleteItem, Find };

const char* name(Leave l) {
    switch (l) {
    case Leave::LogOff:
        return "log off";
    case Leave::DeleteUser:
        return "Delete user";
    case Leave::FailedLoginThenLogOff:
        return "log off, then a failed login";
    }
    return "";
}

const char* name(Next n) {
    switch (n) {
    case Next::Exit:
        return "Exit";
    case Next::EditCaption:
        return "caption";
    case Next::Commit:
        return "commit";
    case Next::ExportPage:
        return "export this page";
    case Next::ExportAll:
        return "export all pages";
    case Next::DeleteItem:
        return "delete an item";
    case Next::Find:
        return "Find";
    }
    return "";
}

// Ann searches, types and changes page, then leaves; Bob logs in and works. Only Bob's files
// change, as Bob's work says, and nothing of Ann's diary reaches Bob's screen or files.
class ChangeOfMember : public FindFixture, public ::testing::WithParamInterface<std::tuple<Leave, Next>> {
protected:
    static constexpr int kBobKey = 102;

    ChangeOfMember() {
        platform::SetClock([] { return platform::LocalTime{2026, 12, 7, 21, 5, 0}; });
    }
    ~ChangeOfMember() override { platform::SetClock(nullptr); }

    std::string bobFile(const std::string& file) const { return app / "Bob/" + file; }
    static std::string bobPage(const std::vector<std::string>& lines) { return fixture::PageContent(kBobKey, lines); }
    static std::string bobCaptions(const std::string& first) {
        std::vector<std::string> captions(15, "No caption set");
        captions[0] = first;
        captions[1] = "Bob's second";
        return fixture::PageContent(kBobKey, captions);
    }
};

TEST_P(ChangeOfMember, OnlyTheNextMembersFilesChange) {
    const auto [leave, next] = GetParam();
    OpenAnnsDiary();
    std::vector<std::string> annCaptions;
    for (int i = 1; i <= 15; ++i) {
        annCaptions.push_back("Ann secret " + std::to_string(i));
    }
    fixture::WriteBytes(app / "Ann/UBF8USBS", fixture::PageContent(kKey, annCaptions));
    MakeMember("Bob", kBobKey, "bob");
    WritePage("Bob", 1, kBobKey, {"Bob's first entry", ""});
    fixture::WriteBytes(bobFile("UBF8USBS"), fixture::PageContent(kBobKey, {"Bob's caption", "Bob's second"}));

    // Ann looks for something, goes to page 12 and starts typing.
    FindText("", "anna");
    form->Combo1->setCurrentIndex(11);
    ASSERT_EQ(form->Label2->text(), "Ann secret 12");
    form->Text2->SetText("Ann half typed");

    // Ann leaves, and Bob logs in.
    const auto annBefore = folderBytes(app / "Ann");
    auto bobLogsIn = [&](Form2& login) {
        if (leave == Leave::FailedLoginThenLogOff) {
            ui.ExpectMsgBox("Incorrect password. Please try again.", 0, "Jotterel");
            TypeLogin(login, "Bob", "ann");
        }
        TypeLogin(login, "Bob", "bob");
    };
    if (leave == Leave::DeleteUser) {
        ui.ExpectMsgBox("Are you sure you want to delete 'Ann' from this diary?", 52, "Jotterel", platform::vbYes);
        ui.ExpectMsgBox("Deleted information cannot be restored later. You will have to sign in as a new user. Do you "
                        "still want to proceed?",
                        52, "Jotterel", platform::vbYes);
        ui.ExpectMsgBox("User 'Ann' deleted.", 64, "Jotterel");
        NextLogin(bobLogsIn);
        form->mnuDelUser->trigger();
        ASSERT_FALSE(std::filesystem::exists(app / "Ann"));
    } else {
        ui.ExpectMsgBox("Are you sure you want to log off?", 52, "Jotterel", platform::vbYes);
        NextLogin(bobLogsIn);
        form->mnuLogoff->trigger();
    }
    ASSERT_TRUE(ui.Done());
    ASSERT_EQ(module.CurrentUser(), "Bob");
    form->show();
    EXPECT_EQ(form->CurrentPage(), 1);
    EXPECT_EQ(form->Text1->Text(), "[1] \tBob's first entry\r\n\r\n");
    EXPECT_EQ(form->Label2->text(), "Bob's caption");
    for (const QString& text : textsOnScreen()) {
        EXPECT_FALSE(text.contains(QStringLiteral("Ann"))) << text.toStdString();
    }

    // Bob works.
    auto bobExpected = folderBytes(app / "Bob");
    const std::string bobPageOne = "Page  1 of Bob's diary\r\nPrinted on 7 Dec 2026  9:05 PM\r\n\r\n";
    switch (next) {
    case Next::Exit:
        form->Command4->click();
        bobExpected["UBF8USBS"] = bobCaptions("Bob's caption");
        break;
    case Next::EditCaption:
        ui.ExpectInputBox("Enter a caption for this page (upto 32 characters long)", "Jotterel", "Bob's caption",
                          "Bob's new caption");
        form->Label2_Click();
        bobExpected["UBF8USBS"] = bobCaptions("Bob's new caption");
        break;
    case Next::Commit:
        form->Text2->SetText("Bob commits");
        ui.ExpectMsgBox("Save the typed text to page 1?", 52, "Jotterel", platform::vbYes);
        form->Command3->click();
        bobExpected[Module1::PageFileName(1)] =
            bobPage({"Bob's first entry", "", "Bob commits (07Dec26, 09:05PM)", ""});
        break;
    case Next::ExportPage:
        ui.ExpectMsgBox("Do you want to export this page as a text file?", 52, "Jotterel", platform::vbYes);
        ui.ExpectInputBox("Enter a name for the output file", "Jotterel", "Page 1.txt", "Page 1.txt");
        ui.ExpectMsgBox("Page  1 printed to " + bobFile("Page 1.txt"), 64, "Jotterel");
        form->mnuExportPage->trigger();
        bobExpected["Page 1.txt"] = bobPageOne + "Page  1\r\n------------\r\n[1] \tBob's first entry\r\n\r\n\r\n";
        break;
    case Next::ExportAll: {
        ui.ExpectMsgBox("Do you want to export all pages of your diary as a text file?", 52, "Jotterel",
                        platform::vbYes);
        ui.ExpectInputBox("Enter a name for the output file", "Jotterel", "All Pages.txt", "All Pages.txt");
        ui.ExpectMsgBox("All pages of Bob's diary printed to " + bobFile("All Pages.txt"), 64, "Jotterel");
        form->mnuExportAll->trigger();
        std::string all = "All pages of Bob's diary\r\nPrinted on 7 Dec 2026  9:05 PM\r\n\r\n";
        for (int page = 1; page <= 15; ++page) {
            all += "Page  " + std::to_string(page) + " \r\n------------\r\n" +
                   (page == 1 ? "[1] \tBob's first entry\r\n\r\n" : "") + "\r\n\r\n";
        }
        bobExpected["All Pages.txt"] = all;
        break;
    }
    case Next::DeleteItem:
        ui.ExpectMsgBox("Caution: The deleted item will be rendered unreadable permanently. Do you want to continue?",
                        52, "Jotterel", platform::vbYes);
        ui.ExpectInputBox("Specify the item number to be deleted on the current page", "Jotterel", "", "1");
        form->mnuDeleteItem->trigger();
        bobExpected[Module1::PageFileName(1)] = bobPage({"XXXXX XXXXX XXXXX (07Dec26, 09:05PM)", ""});
        break;
    case Next::Find:
        FindText("", "entry");
        EXPECT_EQ(Listed(), std::vector<std::string>{" 1     [1] Bob's first entry"});
        break;
    }
    EXPECT_TRUE(ui.Done());
    EXPECT_EQ(folderBytes(app / "Bob"), bobExpected);
    EXPECT_EQ(folderBytes(app / "Ann"), leave == Leave::DeleteUser ? decltype(annBefore){} : annBefore);
    for (const QString& text : textsOnScreen()) {
        EXPECT_FALSE(text.contains(QStringLiteral("Ann"))) << text.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    AnnThenBob, ChangeOfMember,
    ::testing::Combine(::testing::Values(Leave::LogOff, Leave::DeleteUser, Leave::FailedLoginThenLogOff),
                       ::testing::Values(Next::Exit, Next::EditCaption, Next::Commit, Next::ExportPage, Next::ExportAll,
                                         Next::DeleteItem, Next::Find)),
    [](const auto& info) {
        std::string n = std::string(name(std::get<0>(info.param))) + "_" + name(std::get<1>(info.param));
        for (char& c : n) {
            if (!std::isalnum(static_cast<unsigned char>(c))) {
                c = '_';
            }
        }
        return n;
    });

} // namespace
