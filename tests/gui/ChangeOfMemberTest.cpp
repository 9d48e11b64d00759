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
#include "login/LoginWindow.h"
#include "platform/core/Clock.h"
#include "platform/qt/Label.h"
#include "platform/qt/PageView.h"
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
            files[entry.path().filename().string()] = fixture::readBytes(entry.path().string());
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
        platform::setClock([] { return platform::LocalTime{2026, 12, 7, 21, 5, 0}; });
    }
    ~ChangeOfMember() override { platform::setClock(nullptr); }

    std::string bobFile(const std::string& file) const { return fixture::memberFile(app.path(), "Bob", file); }
    static std::string bobPage(const std::vector<std::string>& lines) { return fixture::pageContent(kBobKey, lines); }
    static std::string bobCaptions(const std::string& first) {
        std::vector<std::string> captions(15, "No caption set");
        captions[0] = first;
        captions[1] = "Bob's second";
        return fixture::pageContent(kBobKey, captions);
    }
};

TEST_P(ChangeOfMember, OnlyTheNextMembersFilesChange) {
    const auto [leave, next] = GetParam();
    openAnnsDiary();
    std::vector<std::string> annCaptions;
    for (int i = 1; i <= 15; ++i) {
        annCaptions.push_back("Ann secret " + std::to_string(i));
    }
    fixture::writeBytes(app / "Ann/UBF8USBS", fixture::pageContent(kKey, annCaptions));
    makeMember("Bob", kBobKey, "bob");
    writePage("Bob", 1, kBobKey, {"Bob's first entry", ""});
    fixture::writeBytes(bobFile("UBF8USBS"), fixture::pageContent(kBobKey, {"Bob's caption", "Bob's second"}));

    // Ann looks for something, goes to page 12 and starts typing.
    findText("", "anna");
    form->pageSelector->setCurrentIndex(11);
    ASSERT_EQ(form->captionLabel->text(), "Ann secret 12");
    form->entryBox->setText("Ann half typed");

    // Ann leaves, and Bob logs in.
    const auto annBefore = folderBytes(app / "Ann");
    auto bobLogsIn = [&](LoginWindow& login) {
        if (leave == Leave::FailedLoginThenLogOff) {
            ui.expectMsgBox("Incorrect password. Please try again.", 0, "Jotterel");
            typeLogin(login, "Bob", "ann");
        }
        typeLogin(login, "Bob", "bob");
    };
    if (leave == Leave::DeleteUser) {
        ui.expectMsgBox("Are you sure you want to delete 'Ann' from this diary?", 52, "Jotterel", platform::vbYes);
        ui.expectMsgBox("Deleted information cannot be restored later. You will have to sign in as a new user. Do you "
                        "still want to proceed?",
                        52, "Jotterel", platform::vbYes);
        ui.expectMsgBox("User 'Ann' deleted.", 64, "Jotterel");
        nextLogin(bobLogsIn);
        form->deleteUserAction->trigger();
        ASSERT_FALSE(std::filesystem::exists(app / "Ann"));
    } else {
        ui.expectMsgBox("Are you sure you want to log off?", 52, "Jotterel", platform::vbYes);
        nextLogin(bobLogsIn);
        form->logOffAction->trigger();
    }
    ASSERT_TRUE(ui.done());
    ASSERT_EQ(module.currentMember(), "Bob");
    form->show();
    EXPECT_EQ(form->currentPage(), 1);
    EXPECT_EQ(form->pageView->text(), "[1] \tBob's first entry\r\n\r\n");
    EXPECT_EQ(form->captionLabel->text(), "Bob's caption");
    for (const QString& text : textsOnScreen()) {
        EXPECT_FALSE(text.contains(QStringLiteral("Ann"))) << text.toStdString();
    }

    // Bob works.
    auto bobExpected = folderBytes(app / "Bob");
    const std::string bobPageOne = "Page  1 of Bob's diary\r\nPrinted on 7 Dec 2026  9:05 PM\r\n\r\n";
    switch (next) {
    case Next::Exit:
        form->exitButton->click();
        bobExpected["UBF8USBS"] = bobCaptions("Bob's caption");
        break;
    case Next::EditCaption:
        ui.expectInputBox("Enter a caption for this page (upto 32 characters long)", "Jotterel", "Bob's caption",
                          "Bob's new caption");
        form->editCaption();
        bobExpected["UBF8USBS"] = bobCaptions("Bob's new caption");
        break;
    case Next::Commit:
        form->entryBox->setText("Bob commits");
        ui.expectMsgBox("Save the typed text to page 1?", 52, "Jotterel", platform::vbYes);
        form->commitButton->click();
        bobExpected[MemberFolder::pageFileName(1)] =
            bobPage({"Bob's first entry", "", "Bob commits (07Dec26, 09:05PM)", ""});
        break;
    case Next::ExportPage:
        ui.expectMsgBox("Do you want to export this page as a text file?", 52, "Jotterel", platform::vbYes);
        ui.expectInputBox("Enter a name for the output file", "Jotterel", "Page 1.txt", "Page 1.txt");
        ui.expectMsgBox("Page  1 printed to " + bobFile("Page 1.txt"), 64, "Jotterel");
        form->exportThisPageAction->trigger();
        bobExpected["Page 1.txt"] = bobPageOne + "Page  1\r\n------------\r\n[1] \tBob's first entry\r\n\r\n\r\n";
        break;
    case Next::ExportAll: {
        ui.expectMsgBox("Do you want to export all pages of your diary as a text file?", 52, "Jotterel",
                        platform::vbYes);
        ui.expectInputBox("Enter a name for the output file", "Jotterel", "All Pages.txt", "All Pages.txt");
        ui.expectMsgBox("All pages of Bob's diary printed to " + bobFile("All Pages.txt"), 64, "Jotterel");
        form->exportAllPagesAction->trigger();
        std::string all = "All pages of Bob's diary\r\nPrinted on 7 Dec 2026  9:05 PM\r\n\r\n";
        for (int page = 1; page <= 15; ++page) {
            all += "Page  " + std::to_string(page) + " \r\n------------\r\n" +
                   (page == 1 ? "[1] \tBob's first entry\r\n\r\n" : "") + "\r\n\r\n";
        }
        bobExpected["All Pages.txt"] = all;
        break;
    }
    case Next::DeleteItem:
        ui.expectMsgBox("Caution: The deleted item will be rendered unreadable permanently. Do you want to continue?",
                        52, "Jotterel", platform::vbYes);
        ui.expectInputBox("Specify the item number to be deleted on the current page", "Jotterel", "", "1");
        form->deleteAnItemAction->trigger();
        bobExpected[MemberFolder::pageFileName(1)] = bobPage({"XXXXX XXXXX XXXXX (07Dec26, 09:05PM)", ""});
        break;
    case Next::Find:
        findText("", "entry");
        EXPECT_EQ(listed(), std::vector<std::string>{" 1     [1] Bob's first entry"});
        break;
    }
    EXPECT_TRUE(ui.done());
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
