#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>

#include "login/LoginWindow.h"
#include "platform/core/FileAttributes.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "platform/qt/QtText.h"
#include "store/Cipher.h"
#include "store/MemberSession.h"
#include "support/gui/DiaryFixture.h"

namespace {

class LoginWindowTest : public DiaryFixture {
protected:
    std::string passwordFile(const std::string& member) const {
        return fixture::memberFile(app.path(), member, MemberFolder::kPasswordFile);
    }
};

TEST_F(LoginWindowTest, LoadListsMembersAndEnablesTheLoginForAnyFolder) {
    struct Case {
        const char* what;
        std::function<void()> arrange;
        std::vector<QString> members;
        bool loginEnabled;
    };
    const Case cases[] = {
        {"no subfolders", [] {}, {}, false},
        {"a file only", [this] { fixture::writeBytes(app / "notes.txt", "x"); }, {}, false},
        {"a folder without password file", [this] { platform::makeFolder(app / "Photos"); }, {}, true},
        {"a hidden folder",
         [this] {
             makeMember("Ghost", 110, "pw");
             platform::setAttr(app / "Ghost", platform::kAttrHidden);
         },
         {},
         false},
        {"members, hidden password files",
         [this] {
             makeMember("bob", 110, "pw");
             makeMember("Ann", 111, "pw");
             platform::makeFolder(app / "Photos");
         },
         {"Ann", "bob"},
         true},
        {"a visible password file",
         [this] {
             makeMember("Cy", 110, "pw");
             platform::setAttr(passwordFile("Cy"), platform::kAttrNormal);
         },
         {"Cy"},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(app.path());
        std::filesystem::create_directory(app.path());
        c.arrange();
        LoginWindow& w = openLoginWindow();
        std::vector<QString> members;
        for (int i = 0; i < w.memberSelector->count(); ++i) {
            members.push_back(w.memberSelector->itemText(i));
        }
        EXPECT_EQ(members, c.members);
        EXPECT_EQ(w.memberSelector->currentIndex(), c.members.empty() ? -1 : 0);
        EXPECT_EQ(w.okButton->isEnabled(), c.loginEnabled);
        EXPECT_EQ(w.passwordBox->isEnabled(), c.loginEnabled);
        EXPECT_EQ(w.passwordBox->text(), c.loginEnabled ? "" : "Nobody");
        EXPECT_TRUE(w.addMemberButton->isEnabled());
        EXPECT_TRUE(w.exitButton->isEnabled());
    }
}

TEST_F(LoginWindowTest, NoMemberSelectedAsksForOne) {
    platform::makeFolder(app / "Photos");
    LoginWindow& w = openLoginWindow();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.passwordBox->setFocus();
    ui.expectMsgBox("Select a username first", 48, "Error");
    w.okButton->click();
    EXPECT_TRUE(ui.done());
    EXPECT_EQ(QApplication::focusWidget(), w.memberSelector);
    EXPECT_FALSE(w.loggedIn());
}

TEST_F(LoginWindowTest, PasswordComparisonIgnoresLetterCaseOnly) {
    makeMember("Ann", 123, "Se cret");
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
        LoginWindow& w = openLoginWindow();
        module.logOff(); // as every way to the login window leaves it
        w.passwordBox->setText(platform::toQString(c.typed));
        if (!c.admitted) {
            ui.expectMsgBox("Incorrect password. Please try again.", 0, "Jotterel");
        }
        w.okButton->click();
        EXPECT_TRUE(ui.done());
        EXPECT_EQ(w.loggedIn(), c.admitted);
        if (c.admitted) {
            EXPECT_EQ(module.currentMember(), "Ann");
            EXPECT_EQ(module.cipherKey(), 123);
            EXPECT_EQ(module.enteredPassword(), c.typed);
            EXPECT_EQ(form->windowTitle(), "Jotterel of 'Ann'");
            EXPECT_EQ(w.result(), QDialog::Accepted);
        } else {
            EXPECT_EQ(module.currentMember(), "");
            EXPECT_EQ(module.cipherKey(), 0);
            EXPECT_FALSE(module.loggedIn());
            EXPECT_EQ(w.passwordBox->text(), "");
            EXPECT_EQ(form->windowTitle(), "Jotterel");
        }
    }
}

TEST_F(LoginWindowTest, UnreadablePasswordFileLogsNobodyIn) {
    struct Case {
        const char* what;
        std::optional<std::string> bytes; // nothing: the file is gone
        std::string reason;
    };
    const std::string marker = Cipher::encryptWithKey("usngubnrys", 110);
    const Case cases[] = {
        {"missing", std::nullopt, platform::errorText(ENOENT)},
        {"two lines", Cipher::encryptFixed(" 110") + "\r\n" + Cipher::encryptWithKey("pw", 110) + "\r\n",
         "The file is damaged: the password file has fewer than three lines."},
        {"plain key line", "110\r\nxx\r\nyy\r\n", "The file is damaged: the password file holds no member key."},
        {"key out of range",
         Cipher::encryptFixed(" 99") + "\r\n" + Cipher::encryptWithKey("pw", 99) + "\r\n" + marker + "\r\n",
         "The file is damaged: the password file holds no member key."},
        {"password line below the key", Cipher::encryptFixed(" 110") + "\r\nab\r\n" + marker + "\r\n",
         "The file is damaged: its password line cannot be deciphered under the member key."},
        {"zero length", std::string(), "The file is damaged: the password file has fewer than three lines."},
        {"empty password line", Cipher::encryptFixed(" 110") + "\r\n\r\n" + marker + "\r\n",
         "The file is damaged: the password line is empty."},
        {"one line of random bytes", std::string("\x91\x07\xFE\x00\x31\xC8\x7F\xA0", 8),
         "The file is damaged: the password file has fewer than three lines."},
        {"NUL bytes", std::string("\0\0\r\n\0\r\n\0\r\n", 9),
         "The file is damaged: the password file holds no member key."},
        {"key line of a megabyte",
         std::string(1 << 20, '\xB1') + "\r\n" + Cipher::encryptWithKey("pw", 110) + "\r\n" + marker + "\r\n",
         "The file is damaged: the password file holds no member key."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(app / "Ann");
        makeMember("Ann", 110, "pw");
        LoginWindow& w = openLoginWindow();
        if (!c.bytes) {
            platform::deleteFile(passwordFile("Ann"));
        } else {
            fixture::writeBytes(passwordFile("Ann"), *c.bytes);
        }
        w.passwordBox->setText(QStringLiteral("pw"));
        ui.expectMsgBox("The password file of member 'Ann' cannot be read, so nobody can log in as 'Ann'.\r\r" +
                            passwordFile("Ann") + "\r" + c.reason,
                        48, "Jotterel");
        w.okButton->click();
        EXPECT_TRUE(ui.done());
        EXPECT_FALSE(w.loggedIn());
        EXPECT_TRUE(module.enteredPassword().empty());
        EXPECT_TRUE(module.currentMember().empty());
    }
}

TEST_F(LoginWindowTest, LoginClearsAwayTheScrapsOfRewritesCutShort) {
    makeMember("Ann", 110, "pw");
    makeMember("Bob", 111, "bob");
    const std::string scraps[] = {app / "Ann/.FGZISKL4.new-Ab12Cd", app / "Ann/.UBF8USBS.new-x1Y2z3",
                                  app / "Ann/.QRBNSTJ4.new-qwerty", app / "Ann/.Page 1.txt.new-7hG2k0"};
    const std::string kept[] = {app / "Ann/.FGZISKL4.new-Ab12C", app / "Ann/notes.txt",
                                app / "Bob/.FGZISKL4.new-Ab12Cd"};
    for (const std::string& path : scraps) {
        fixture::writeBytes(path, "half");
    }
    for (const std::string& path : kept) {
        fixture::writeBytes(path, "keep");
    }
    // A commit cut short leaves its page without the hidden mark it takes off while it writes.
    const std::string annsPage = pageFile("Ann", 3);
    const std::string bobsPage = pageFile("Bob", 3);
    for (const std::string& path : {annsPage, bobsPage}) {
        platform::setAttr(path, platform::kAttrNormal);
    }
    LoginWindow& w = openLoginWindow();
    ui.expectMsgBox("Incorrect password. Please try again.", 0, "Jotterel");
    typeLogin(w, "Ann", "wrong");
    EXPECT_TRUE(platform::pathExists(scraps[0])); // nobody logged in: nothing is touched
    EXPECT_FALSE(fixture::isHidden(annsPage));
    typeLogin(w, "Ann", "pw");
    EXPECT_TRUE(ui.done());
    ASSERT_TRUE(w.loggedIn());
    for (const std::string& path : scraps) {
        EXPECT_FALSE(platform::pathExists(path)) << path;
    }
    for (const std::string& path : kept) {
        EXPECT_EQ(fixture::readBytes(path), "keep") << path;
    }
    EXPECT_TRUE(fixture::isHidden(annsPage));
    EXPECT_FALSE(fixture::isHidden(bobsPage));
    EXPECT_FALSE(fixture::isHidden(app / "Ann/notes.txt")); // the member's own file stays as it is
}

TEST_F(LoginWindowTest, TabOrder) {
    makeMember("Ann", 110, "pw");
    LoginWindow& w = openLoginWindow();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.memberSelector->setFocus();
    const QWidget* order[] = {w.memberSelector,  w.passwordBox, w.exitButton,
                              w.addMemberButton, w.okButton,    w.memberSelector};
    for (const QWidget* expected : order) {
        EXPECT_EQ(QApplication::focusWidget(), expected) << expected->objectName().toStdString();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }

    // No list out of sight holds the member names: the selector is filled from the store.
    EXPECT_EQ(w.findChild<QListWidget*>(), nullptr);
}

TEST_F(LoginWindowTest, ControlsMadeOnceShownAreTheControlsMadeAtOnce) {
    makeMember("Ann", 110, "pw");
    makeMember("Bo", 111, "pw");
    const LoginWindow& atOnce = openLoginWindow();
    LoginWindow later(*form, LoginWindow::Controls::OnceShown);
    later.load();
    // A frame alone until it is on screen, and still when it is shown: the controls come in the
    // next turn of the event loop.
    EXPECT_TRUE(later.findChildren<QWidget*>().empty());
    later.show();
    EXPECT_FALSE(later.controlsMade());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&later));
    ASSERT_TRUE(later.controlsMade());
    EXPECT_EQ(QApplication::focusWidget(), later.memberSelector); // first in the tab order

    const QList<QWidget*> controls = atOnce.findChildren<QWidget*>();
    ASSERT_FALSE(controls.empty());
    for (const QWidget* control : controls) {
        if (control->objectName().isEmpty()) {
            continue; // the parts Qt makes inside a control
        }
        SCOPED_TRACE(control->objectName().toStdString());
        const QWidget* twin = later.findChild<QWidget*>(control->objectName());
        ASSERT_NE(twin, nullptr);
        EXPECT_EQ(twin->geometry(), control->geometry());
        EXPECT_EQ(twin->isVisibleTo(&later), control->isVisibleTo(&atOnce));
        EXPECT_EQ(twin->isEnabled(), control->isEnabled());
        EXPECT_EQ(twin->font(), control->font());
    }
    EXPECT_EQ(later.loginFrame->title(), atOnce.loginFrame->title());
    ASSERT_EQ(later.memberSelector->count(), 2);
    EXPECT_EQ(later.memberSelector->itemText(0), "Ann");
    EXPECT_EQ(later.memberSelector->itemText(1), "Bo");
    EXPECT_EQ(later.memberSelector->currentIndex(), 0);
    EXPECT_EQ(later.passwordBox->text(), atOnce.passwordBox->text());
}

TEST_F(LoginWindowTest, MaskAndLayout) {
#ifdef _WIN32
    GTEST_SKIP() << "Not under Wine: its fallback face has no mask character for the password box, and its wider "
                    "letters do not fit the button and label sizes laid out for the windows' faces";
#endif
    makeMember("Ann", 110, "pw");
    LoginWindow& w = openLoginWindow();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));

    // Every typed character shows as the same symbol.
    w.passwordBox->clear();
    QTest::keyClicks(w.passwordBox, "aB 9");
    const QString shown = w.passwordBox->displayText();
    ASSERT_EQ(shown.size(), 4);
    EXPECT_EQ(shown, QString(4, shown.at(0)));
    EXPECT_NE(shown.at(0), QLatin1Char('a'));
    // Drawn from the box's own face, not as a missing-glyph box.
    EXPECT_TRUE(QFontMetrics(w.passwordBox->font()).inFontUcs4(shown.at(0).unicode()));
    // Whatever is typed.
    w.passwordBox->setText(QString::fromUtf8("\xc3\xa9\xe2\x82\xac\t"));
    EXPECT_EQ(w.passwordBox->displayText(), QString(3, shown.at(0)));

    // Labels sized to their text show all of it, inside the window.
    for (QLabel* label : {w.passwordLabel, w.memberLabel, w.titleLabel, w.contactLabel}) {
        SCOPED_TRACE(label->objectName().toStdString());
        EXPECT_GE(label->width(), label->sizeHint().width());
        EXPECT_GE(label->height(), label->sizeHint().height());
        const QRect inWindow(label->mapTo(&w, QPoint(0, 0)), label->size());
        EXPECT_TRUE(w.rect().contains(inWindow));
    }
    EXPECT_GE(w.descriptionLabel->height(), w.descriptionLabel->heightForWidth(w.descriptionLabel->width()));
    for (QPushButton* button : {w.okButton, w.exitButton, w.addMemberButton}) {
        EXPECT_GE(button->width(), button->fontMetrics().horizontalAdvance(button->text().remove('&')) + 8)
            << button->objectName().toStdString();
    }
}

} // namespace
