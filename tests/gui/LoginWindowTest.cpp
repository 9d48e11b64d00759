#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>

#include "login/Form2.h"
#include "platform/core/FileAttributes.h"
#include "platform/core/FileSystem.h"
#include "platform/qt/Ansi.h"
#include "store/Module1.h"
#include "support/gui/DiaryFixture.h"

namespace {

class LoginWindow : public DiaryFixture {
protected:
    std::string passwordFile(const std::string& member) const {
        return fixture::MemberFile(app.path(), member, Module1::kPasswordFile);
    }
};

TEST_F(LoginWindow, LoadListsMembersAndEnablesTheLoginForAnyFolder) {
    struct Case {
        const char* what;
        std::function<void()> arrange;
        std::vector<QString> members;
        bool loginEnabled;
    };
    const Case cases[] = {
        {"no subfolders", [] {}, {}, false},
        {"a file only", [this] { fixture::WriteBytes(app / "notes.txt", "x"); }, {}, false},
        {"a folder without password file", [this] { platform::MakeFolder(app / "Photos"); }, {}, true},
        {"a hidden folder",
         [this] {
             MakeMember("Ghost", 110, "pw");
             platform::SetAttr(app / "Ghost", platform::kAttrHidden);
         },
         {},
         false},
        {"members, hidden password files",
         [this] {
             MakeMember("bob", 110, "pw");
             MakeMember("Ann", 111, "pw");
             platform::MakeFolder(app / "Photos");
         },
         {"Ann", "bob"},
         true},
        {"a visible password file",
         [this] {
             MakeMember("Cy", 110, "pw");
             platform::SetAttr(passwordFile("Cy"), platform::kAttrNormal);
         },
         {"Cy"},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(app.path());
        std::filesystem::create_directory(app.path());
        c.arrange();
        Form2& w = OpenLoginWindow();
        std::vector<QString> members;
        for (int i = 0; i < w.Combo1->count(); ++i) {
            members.push_back(w.Combo1->itemText(i));
        }
        EXPECT_EQ(members, c.members);
        EXPECT_EQ(w.Combo1->currentIndex(), c.members.empty() ? -1 : 0);
        EXPECT_EQ(w.Command1->isEnabled(), c.loginEnabled);
        EXPECT_EQ(w.Text1->isEnabled(), c.loginEnabled);
        EXPECT_EQ(w.Text1->text(), c.loginEnabled ? "" : "Nobody");
        EXPECT_TRUE(w.Command3->isEnabled());
        EXPECT_TRUE(w.Command2->isEnabled());
    }
}

TEST_F(LoginWindow, NoMemberSelectedAsksForOne) {
    platform::MakeFolder(app / "Photos");
    Form2& w = OpenLoginWindow();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.Text1->setFocus();
    ui.ExpectMsgBox("Select a username first", 48, "Error");
    w.Command1->click();
    EXPECT_TRUE(ui.Done());
    EXPECT_EQ(QApplication::focusWidget(), w.Combo1);
    EXPECT_FALSE(w.LoggedIn());
}

TEST_F(LoginWindow, PasswordComparisonIgnoresLetterCaseOnly) {
    MakeMember("Ann", 123, "Se cret");
    struct Case {
        std::string typed;
        bool admitted;
    };
    const Case cases[] = {
        {"Se cret", true},   {"SE CRET", true}, {"se cret", true}, {"sE CrEt", true}, {"Se cret ", false},
        {" Se cret", false}, {"Secret", false}, {"Se cre", false}, {"", false},       {"Se\tcret", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("typed '" + c.typed + "'");
        Form2& w = OpenLoginWindow();
        module.LogOff(); // as every way to the login window leaves it
        w.Text1->setText(platform::ToQString(c.typed));
        if (!c.admitted) {
            ui.ExpectMsgBox("Incorrect password. Please try again.", 0, "Jotterel");
        }
        w.Command1->click();
        EXPECT_TRUE(ui.Done());
        EXPECT_EQ(w.LoggedIn(), c.admitted);
        if (c.admitted) {
            EXPECT_EQ(module.CurrentUser(), "Ann");
            EXPECT_EQ(module.CipherKey(), 123);
            EXPECT_EQ(module.EnteredPassword(), c.typed);
            EXPECT_EQ(form->windowTitle(), "Jotterel of 'Ann'");
            EXPECT_EQ(w.result(), QDialog::Accepted);
        } else {
            EXPECT_EQ(module.CurrentUser(), "");
            EXPECT_EQ(module.CipherKey(), 0);
            EXPECT_FALSE(module.LoggedIn());
            EXPECT_EQ(w.Text1->text(), "");
            EXPECT_EQ(form->windowTitle(), "Jotterel");
        }
    }
}

TEST_F(LoginWindow, UnreadablePasswordFileLogsNobodyIn) {
    struct Case {
        const char* what;
        std::optional<std::string> bytes; // nothing: the file is gone
        std::string reason;
    };
    const std::string marker = Module1::EncryptWithKey("usngubnrys", 110);
    const Case cases[] = {
        {"missing", std::nullopt, "No such file or directory"},
        {"two lines", Module1::EncryptFixed(" 110") + "\r\n" + Module1::EncryptWithKey("pw", 110) + "\r\n",
         "The file is damaged: the password file has fewer than three lines."},
        {"plain key line", "110\r\nxx\r\nyy\r\n", "The file is damaged: the password file holds no member key."},
        {"key out of range",
         Module1::EncryptFixed(" 99") + "\r\n" + Module1::EncryptWithKey("pw", 99) + "\r\n" + marker + "\r\n",
         "The file is damaged: the password file holds no member key."},
        {"password line below the key", Module1::EncryptFixed(" 110") + "\r\nab\r\n" + marker + "\r\n",
         "The file is damaged: its password line cannot be deciphered under the member key."},
        {"zero length", std::string(), "The file is damaged: the password file has fewer than three lines."},
        {"empty password line", Module1::EncryptFixed(" 110") + "\r\n\r\n" + marker + "\r\n",
         "The file is damaged: the password line is empty."},
        {"one line of random bytes", std::string("\x91\x07\xFE\x00\x31\xC8\x7F\xA0", 8),
         "The file is damaged: the password file has fewer than three lines."},
        {"NUL bytes", std::string("\0\0\r\n\0\r\n\0\r\n", 9),
         "The file is damaged: the password file holds no member key."},
        {"key line of a megabyte",
         std::string(1 << 20, '\xB1') + "\r\n" + Module1::EncryptWithKey("pw", 110) + "\r\n" + marker + "\r\n",
         "The file is damaged: the password file holds no member key."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(app / "Ann");
        MakeMember("Ann", 110, "pw");
        Form2& w = OpenLoginWindow();
        if (!c.bytes) {
            platform::DeleteFile(passwordFile("Ann"));
        } else {
            fixture::WriteBytes(passwordFile("Ann"), *c.bytes);
        }
        w.Text1->setText(QStringLiteral("pw"));
        ui.ExpectMsgBox("The password file of member 'Ann' cannot be read, so nobody can log in as 'Ann'.\r\r" +
                            passwordFile("Ann") + "\r" + c.reason,
                        48, "Jotterel");
        w.Command1->click();
        EXPECT_TRUE(ui.Done());
        EXPECT_FALSE(w.LoggedIn());
        EXPECT_TRUE(module.EnteredPassword().empty());
        EXPECT_TRUE(module.CurrentUser().empty());
    }
}

TEST_F(LoginWindow, LoginClearsAwayTheScrapsOfRewritesCutShort) {
    MakeMember("Ann", 110, "pw");
    MakeMember("Bob", 111, "bob");
    const std::string scraps[] = {app / "Ann/.FGZISKL4.new-Ab12Cd", app / "Ann/.UBF8USBS.new-x1Y2z3",
                                  app / "Ann/.QRBNSTJ4.new-qwerty", app / "Ann/.Page 1.txt.new-7hG2k0"};
    const std::string kept[] = {app / "Ann/.FGZISKL4.new-Ab12C", app / "Ann/notes.txt",
                                app / "Bob/.FGZISKL4.new-Ab12Cd"};
    for (const std::string& path : scraps) {
        fixture::WriteBytes(path, "half");
    }
    for (const std::string& path : kept) {
        fixture::WriteBytes(path, "keep");
    }
    Form2& w = OpenLoginWindow();
    ui.ExpectMsgBox("Incorrect password. Please try again.", 0, "Jotterel");
    TypeLogin(w, "Ann", "wrong");
    EXPECT_TRUE(platform::PathExists(scraps[0])); // nobody logged in: nothing is touched
    TypeLogin(w, "Ann", "pw");
    EXPECT_TRUE(ui.Done());
    ASSERT_TRUE(w.LoggedIn());
    for (const std::string& path : scraps) {
        EXPECT_FALSE(platform::PathExists(path)) << path;
    }
    for (const std::string& path : kept) {
        EXPECT_EQ(fixture::ReadBytes(path), "keep") << path;
    }
}

TEST_F(LoginWindow, TabOrderMaskAndLayout) {
    MakeMember("Ann", 110, "pw");
    Form2& w = OpenLoginWindow();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.Combo1->setFocus();
    const QWidget* order[] = {w.Combo1, w.Text1, w.Command2, w.Command3, w.Command1, w.Combo1};
    for (const QWidget* expected : order) {
        EXPECT_EQ(QApplication::focusWidget(), expected) << expected->objectName().toStdString();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }

    // Every typed character shows as the same symbol.
    w.Text1->clear();
    QTest::keyClicks(w.Text1, "aB 9");
    const QString shown = w.Text1->displayText();
    ASSERT_EQ(shown.size(), 4);
    EXPECT_EQ(shown, QString(4, shown.at(0)));
    EXPECT_NE(shown.at(0), QLatin1Char('a'));
    // Drawn from the box's own face, not as a missing-glyph box.
    EXPECT_TRUE(QFontMetrics(w.Text1->font()).inFontUcs4(shown.at(0).unicode()));
    // Whatever is typed.
    w.Text1->setText(QString::fromUtf8("\xc3\xa9\xe2\x82\xac\t"));
    EXPECT_EQ(w.Text1->displayText(), QString(3, shown.at(0)));

    // The scratch list lies above the client area.
    EXPECT_LT(w.List1->geometry().bottom(), 0);
    EXPECT_FALSE(w.List1->visibleRegion().boundingRect().isValid());

    // Labels sized to their text show all of it, inside the window.
    for (QLabel* label : {w.Label1, w.Label2, w.Label3, w.Label5}) {
        SCOPED_TRACE(label->objectName().toStdString());
        EXPECT_GE(label->width(), label->sizeHint().width());
        EXPECT_GE(label->height(), label->sizeHint().height());
        const QRect inWindow(label->mapTo(&w, QPoint(0, 0)), label->size());
        EXPECT_TRUE(w.rect().contains(inWindow));
    }
    EXPECT_GE(w.Label4->height(), w.Label4->heightForWidth(w.Label4->width()));
    for (QPushButton* button : {w.Command1, w.Command2, w.Command3}) {
        EXPECT_GE(button->width(), button->fontMetrics().horizontalAdvance(button->text().remove('&')) + 8)
            << button->objectName().toStdString();
    }
}

} // namespace
