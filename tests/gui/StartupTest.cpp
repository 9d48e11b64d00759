#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

#include "app/Wiring.h"
#include "login/Form2.h"
#include "platform/qt/Label.h"
#include "platform/qt/TextBox.h"
#include "support/gui/DiaryFixture.h"
#include "support/gui/ModalScript.h"

namespace {

// The main window with the program's own wiring: the real login window, opened modally.
class Startup : public DiaryFixture {
protected:
    Startup() { ConnectCommands(main); }
    ~Startup() override {
        // A modal window left open by a failed step must not block the next test.
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    }

    Form1 main{module};
    ModalScript modals;
};

TEST_F(Startup, LoginWindowComesFirstThenPageOne) {
    MakeMember("Garden", 117, "Gard");
    WritePage("Garden", 1, 117, {"first", ""});
    modals.OnNext<Form2>([&](Form2& login) {
        EXPECT_FALSE(main.isVisible()); // the main window waits for the login
        EXPECT_EQ(login.parentWidget(), &main);
        EXPECT_TRUE(login.isModal());
        EXPECT_EQ(login.windowTitle(), "Jotterel - Member login");
        EXPECT_EQ(login.Combo1->currentText(), "Garden");
        EXPECT_TRUE(module.EnteredPassword().empty());
        ASSERT_TRUE(QTest::qWaitForWindowActive(&login));
        EXPECT_EQ(QApplication::focusWidget(), login.Combo1); // first in the tab order
        QTest::keyClicks(login.Text1, "gARD");
        QTest::keyClick(login.Text1, Qt::Key_Return); // Enter presses OK, the default button
    });
    main.Form_Load();
    EXPECT_EQ(modals.Ran(), 1);
    EXPECT_FALSE(main.Ended());
    EXPECT_FALSE(main.isVisible()); // the program shows it once loading is over
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(main.findChildren<Form2*>().empty()); // the login window is gone
    EXPECT_EQ(module.CurrentUser(), "Garden");
    EXPECT_EQ(module.EnteredPassword(), "gARD");
    EXPECT_EQ(main.windowTitle(), "Jotterel of 'Garden'");
    EXPECT_EQ(main.mnuLogoff->text(), "Log off 'Garden'");
    EXPECT_EQ(main.mnuDelUser->text(), "Delete user 'Garden'");
    EXPECT_EQ(main.CurrentPage(), 1);
    EXPECT_EQ(main.Text1->Text(), "[1] \tfirst\r\n\r\n");
    EXPECT_EQ(main.Label2->text(), "No caption set");
    EXPECT_EQ(main.Text1->SelStart(), 0u);
    EXPECT_EQ(main.Text1->SelLength(), main.Text1->Text().size());

    // Shown, the window puts the focus first in its tab order: the entry box.
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    const QWidget* order[] = {main.Text2,    main.Command6, main.Command1, main.Combo1, main.Command2,
                              main.Command5, main.Command4, main.Command3, main.Text1,  main.Text2};
    for (const QWidget* expected : order) {
        EXPECT_EQ(QApplication::focusWidget(), expected) << expected->objectName().toStdString();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
}

TEST_F(Startup, WrongPasswordAndEscKeepTheLoginWindowOpen) {
    MakeMember("Ann", 110, "pw");
    ui.ExpectMsgBox("Incorrect password. Please try again.", 0, "Jotterel");
    modals.OnNext<Form2>([&](Form2& login) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(&login));
        QTest::keyClick(&login, Qt::Key_Escape); // there is no cancel button
        EXPECT_TRUE(login.isVisible());
        QTest::keyClicks(login.Text1, "pw ");
        QTest::keyClick(login.Text1, Qt::Key_Return);
        EXPECT_TRUE(login.isVisible());
        EXPECT_EQ(login.Text1->text(), "");
        EXPECT_EQ(QApplication::focusWidget(), login.Text1);
        EXPECT_TRUE(module.EnteredPassword().empty());
        QTest::keyClicks(login.Text1, "PW");
        QTest::keyClick(login.Text1, Qt::Key_Return);
    });
    main.Form_Load();
    EXPECT_EQ(module.EnteredPassword(), "PW");
    EXPECT_EQ(main.windowTitle(), "Jotterel of 'Ann'");
}

TEST_F(Startup, LeavingTheLoginWindowWithoutLoginEndsTheProgram) {
    struct Case {
        const char* way;
        std::function<void(Form2&)> leave;
    };
    const Case cases[] = {
        {"close box", [](Form2& login) { login.close(); }},
        {"Exit button", [](Form2& login) { login.Command2->click(); }},
        {"Alt+X", [](Form2& login) { QTest::keyClick(&login, Qt::Key_X, Qt::AltModifier); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.way);
        Form1 w(module);
        ConnectCommands(w);
        MakeMember("Ann", 110, "pw");
        QSignalSpy ended(&w, &Form1::programEnded);
        const int ran = modals.Ran();
        modals.OnNext<Form2>([&](Form2& login) {
            ASSERT_TRUE(QTest::qWaitForWindowActive(&login));
            c.leave(login);
        });
        w.Form_Load();
        EXPECT_EQ(modals.Ran(), ran + 1);
        EXPECT_TRUE(w.Ended());
        EXPECT_EQ(ended.count(), 1);
        EXPECT_FALSE(w.isVisible());
        EXPECT_TRUE(module.EnteredPassword().empty());
        EXPECT_EQ(w.Text1->Text(), ""); // no page was read
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        std::filesystem::remove_all(app / "Ann");
    }
}

} // namespace
