#ifndef _WIN32

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "login/LoginWindow.h"
#include "platform/core/FileAttributes.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "platform/qt/TextBox.h"
#include "store/PasswordFile.h"
#include "support/gui/DiaryFixture.h"

// A link, a named pipe or a folder where a member file belongs, met by every command that reads
// or writes that file through the windows: a message says the file cannot be used, nothing
// waits on the pipe, and nothing outside the member folder is read into the diary, written, cut
// or marked.
namespace {

constexpr int kKey = 110;

enum class Kind { LinkOutside, DanglingLink, Pipe, Folder };

const char* name(Kind k) {
    switch (k) {
    case Kind::LinkOutside:
        return "link to a file outside";
    case Kind::DanglingLink:
        return "dangling link";
    case Kind::Pipe:
        return "named pipe";
    case Kind::Folder:
        return "folder";
    }
    return "";
}

// Answers Yes to every question and the given text to every input box; keeps the messages.
class AnsweringDialogs : public platform::Dialogs {
public:
    explicit AnsweringDialogs(std::string input) : m_input(std::move(input)), m_previous(&platform::ui()) {
        platform::setUi(this);
    }
    ~AnsweringDialogs() override { platform::setUi(m_previous); }
    AnsweringDialogs(const AnsweringDialogs&) = delete;
    AnsweringDialogs& operator=(const AnsweringDialogs&) = delete;

    int msgBox(const std::string& text, int flags, const std::string&) override {
        if ((flags & 7) == platform::vbYesNo || (flags & 7) == platform::vbYesNoCancel) {
            return platform::vbYes;
        }
        messages.push_back(text);
        return platform::vbOK;
    }
    // The input the first time, then nothing (a command that asks again ends).
    std::string inputBox(const std::string&, const std::string&, const std::string&) override {
        return std::exchange(m_input, std::string());
    }
    void beep() override {}

    std::vector<std::string> messages;

private:
    std::string m_input;
    platform::Dialogs* m_previous;
};

struct Command {
    const char* what;
    const char* file; // the member file put out of use
    std::function<void(DiaryWindow&)> run;
    std::string message; // how the message begins; empty when the command says nothing
};

class StrangeMemberFiles : public DiaryFixture {
protected:
    void SetUp() override {
        makeMember("Ann", kKey, "pw");
        writePage("Ann", 1, kKey, {"An entry", ""});
        outside = app / "outside.txt";
        fixture::writeBytes(outside, "Not Ann's");
        ::chmod(outside.c_str(), 0644);
    }

    // Puts something of kind k where the member file is.
    void place(Kind k, const std::string& path) {
        std::filesystem::remove(path);
        switch (k) {
        case Kind::LinkOutside:
            std::filesystem::create_symlink(outside, path);
            break;
        case Kind::DanglingLink:
            std::filesystem::create_symlink(app / "nothing-here", path);
            break;
        case Kind::Pipe:
            ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
            break;
        case Kind::Folder:
            std::filesystem::create_directory(path);
            break;
        }
    }

    void expectOutsideUntouched() {
        EXPECT_EQ(fixture::readBytes(outside), "Not Ann's");
        struct stat st {};
        ASSERT_EQ(::stat(outside.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0644u);
        EXPECT_EQ(platform::getAttr(outside), platform::kAttrNormal);
        EXPECT_FALSE(std::filesystem::exists(app / "nothing-here"));
    }

    std::string outside;
};

TEST_F(StrangeMemberFiles, EveryCommandRefusesThemWithAMessage) {
    const std::string pageFile = MemberFolder::pageFileName(1);
    const Command commands[] = {
        {"show the page", MemberFolder::pageFileName(1),
         [](DiaryWindow& w) {
             w.lastPageButton->click();
             w.firstPageButton->click();
         },
         "Page 1 cannot be shown."},
        {"commit", MemberFolder::pageFileName(1),
         [](DiaryWindow& w) {
             w.entryBox->setText("New entry");
             w.commitButton->click();
         },
         "The entry cannot be saved to page 1."},
        {"delete an item", MemberFolder::pageFileName(1), [](DiaryWindow& w) { w.deleteAnItemAction->trigger(); },
         "No item was deleted: page 1 cannot be read."},
        {"delete this page", MemberFolder::pageFileName(1), [](DiaryWindow& w) { w.deleteThisPageAction->trigger(); },
         "Page 1 cannot be cleared; its file is left as it was."},
        {"delete all pages", MemberFolder::pageFileName(1), [](DiaryWindow& w) { w.deleteAllPagesAction->trigger(); },
         "Page 1 cannot be cleared, so no page has been cleared."},
        {"find", MemberFolder::pageFileName(1), [](DiaryWindow& w) { w.findAction->trigger(); }, "Text not found."},
        {"export this page", MemberFolder::pageFileName(1), [](DiaryWindow& w) { w.exportThisPageAction->trigger(); },
         "Page  1 printed to "},
        {"edit the caption", MemberFolder::kCaptionsFile, [](DiaryWindow& w) { w.editCaption(); },
         "The captions of your pages cannot be read, so no caption can be changed now."},
        {"exit", MemberFolder::kCaptionsFile, [](DiaryWindow& w) { w.exitButton->click(); },
         "The page captions cannot be saved. Jotterel closes without saving them."},
        {"change the password", MemberFolder::kPasswordFile, [](DiaryWindow& w) { w.changePasswordAction->trigger(); },
         "Your password has not been changed: the password file cannot be written."},
    };
    for (Kind kind : {Kind::LinkOutside, Kind::DanglingLink, Kind::Pipe, Kind::Folder}) {
        for (const Command& c : commands) {
            SCOPED_TRACE(std::string(c.what) + ", " + name(kind));
            const std::string path = app / "Ann/" + c.file;
            const std::string before =
                platform::kindOfPath(path) == platform::PathKind::File ? fixture::readBytes(path) : std::string();
            // The captions file is read at the login, the rest when the command runs.
            if (std::string(c.file) == MemberFolder::kCaptionsFile) {
                place(kind, path);
            }
            openDiary("Ann", "pw");
            if (std::string(c.file) != MemberFolder::kCaptionsFile) {
                place(kind, path);
            }
            {
                AnsweringDialogs boxes("1");
                c.run(*form);
                ASSERT_EQ(boxes.messages.size(), 1u);
                EXPECT_TRUE(boxes.messages[0].starts_with(c.message)) << boxes.messages[0];
                if (std::string(c.what) != "find" && std::string(c.what) != "export this page") {
                    EXPECT_NE(boxes.messages[0].find(path), std::string::npos) << boxes.messages[0];
                }
            }
            expectOutsideUntouched();
            form.reset();
            module.logOff();
            // The member file as it was, for the next command.
            std::filesystem::remove_all(path);
            fixture::writeBytes(path, before);
            if (std::string(c.file) == MemberFolder::kPasswordFile) {
                fixture::writeBytes(path, PasswordFile::content(kKey, "pw"));
            } else if (std::string(c.file) == pageFile) {
                fixture::writeBytes(path, fixture::pageContent(kKey, {"An entry", ""}));
            }
            platform::setAttr(path, platform::kAttrHidden);
        }
    }
}

TEST_F(StrangeMemberFiles, LoginRefusesThemInPlaceOfThePasswordFile) {
    for (Kind kind : {Kind::LinkOutside, Kind::DanglingLink, Kind::Pipe, Kind::Folder}) {
        SCOPED_TRACE(name(kind));
        const std::string path = app / "Ann/QRBNSTJ4";
        place(kind, path);
        LoginWindow& login = openLoginWindow();
        AnsweringDialogs boxes("");
        typeLogin(login, "Ann", "pw");
        EXPECT_FALSE(module.loggedIn());
        ASSERT_EQ(boxes.messages.size(), 1u);
        EXPECT_TRUE(boxes.messages[0].starts_with("The password file of member 'Ann' cannot be read, so nobody can "
                                                  "log in as 'Ann'.\r\r" +
                                                  path + "\r"))
            << boxes.messages[0];
        expectOutsideUntouched();
        std::filesystem::remove_all(path);
    }
}

} // namespace

#else

#include <gtest/gtest.h>

namespace {

constexpr const char* kNotOnWindows =
    "Not on Windows: it plants symbolic links and named pipes where member files belong, which a Windows account "
    "without the right to make links cannot, and Wine shows as the files they point to.";

TEST(StrangeMemberFiles, EveryCommandRefusesThemWithAMessage) {
    GTEST_SKIP() << kNotOnWindows;
}

TEST(StrangeMemberFiles, LoginRefusesThemInPlaceOfThePasswordFile) {
    GTEST_SKIP() << kNotOnWindows;
}

} // namespace

#endif
