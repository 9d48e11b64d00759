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
#include "login/LoginWindow.h"
#include "platform/qt/Label.h"
#include "platform/qt/PageView.h"
#include "platform/qt/TextBox.h"
#include "support/gui/DiaryFixture.h"
#include "support/gui/ModalScript.h"

namespace {

// The main window as the program makes it, with the program's own wiring: the real login window,
// opened modally before the diary window has made its controls.
class Startup : public DiaryFixture {
protected:
    Startup() { connectCommands(main); }
    ~Startup() override {
        // A modal window left open by a failed step must not block the next test.
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    }

    DiaryWindow main{module, nullptr, DiaryWindow::Controls::AfterLogin};
    ModalScript modals;
};

TEST_F(Startup, LoginWindowComesFirstThenPageOne) {
    makeMember("Garden", 117, "Gard");
    writePage("Garden", 1, 117, {"first", ""});
    modals.onNext<LoginWindow>([&](LoginWindow& login) {
        EXPECT_FALSE(main.isVisible()); // the main window waits for the login
        EXPECT_FALSE(main.controlsMade());
        EXPECT_EQ(main.pageView, nullptr);
        EXPECT_EQ(login.parentWidget(), &main);
        EXPECT_TRUE(login.isModal());
        EXPECT_EQ(login.windowTitle(), "Jotterel - Member login");
        EXPECT_EQ(login.memberSelector->currentText(), "Garden");
        EXPECT_TRUE(module.enteredPassword().empty());
        ASSERT_TRUE(QTest::qWaitForWindowActive(&login));
        EXPECT_EQ(QApplication::focusWidget(), login.memberSelector); // first in the tab order
        QTest::keyClicks(login.passwordBox, "gARD");
        QTest::keyClick(login.passwordBox, Qt::Key_Return); // Enter presses OK, the default button
    });
    main.load();
    EXPECT_EQ(modals.ran(), 1);
    EXPECT_FALSE(main.ended());
    EXPECT_FALSE(main.isVisible()); // the program shows it once loading is over
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(main.findChildren<LoginWindow*>().empty()); // the login window is gone
    EXPECT_EQ(module.currentMember(), "Garden");
    EXPECT_EQ(module.enteredPassword(), "gARD");
    EXPECT_EQ(main.windowTitle(), "Jotterel of 'Garden'");
    EXPECT_EQ(main.logOffAction->text(), "Log off 'Garden'");
    EXPECT_EQ(main.deleteUserAction->text(), "Delete user 'Garden'");
    EXPECT_TRUE(main.protectAction->isVisible());
    EXPECT_FALSE(main.unprotectAction->isVisible());
    EXPECT_EQ(main.currentPage(), 1);
    EXPECT_EQ(main.pageView->text(), "[1] \tfirst\r\n\r\n");
    EXPECT_EQ(main.captionLabel->text(), "No caption set");
    EXPECT_EQ(main.pageView->selStart(), 0u);
    EXPECT_EQ(main.pageView->selLength(), main.pageView->text().size());

    // Shown, the window puts the focus first in its tab order: the entry box.
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    const QWidget* order[] = {main.entryBox,       main.firstPageButton, main.previousPageButton, main.pageSelector,
                              main.nextPageButton, main.lastPageButton,  main.exitButton,         main.commitButton,
                              main.pageView,       main.entryBox};
    for (const QWidget* expected : order) {
        EXPECT_EQ(QApplication::focusWidget(), expected) << expected->objectName().toStdString();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    // The menu made after the login reaches its commands: Exit presses the Exit button.
    QSignalSpy ended(&main, &DiaryWindow::programEnded);
    main.exitAction->trigger();
    EXPECT_EQ(ended.count(), 1);
}

TEST_F(Startup, WrongPasswordAndEscKeepTheLoginWindowOpen) {
    makeMember("Ann", 110, "pw");
    ui.expectMsgBox("Incorrect password. Please try again.", 0, "Jotterel");
    modals.onNext<LoginWindow>([&](LoginWindow& login) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(&login));
        QTest::keyClick(&login, Qt::Key_Escape); // there is no cancel button
        EXPECT_TRUE(login.isVisible());
        QTest::keyClicks(login.passwordBox, "pw ");
        QTest::keyClick(login.passwordBox, Qt::Key_Return);
        EXPECT_TRUE(login.isVisible());
        EXPECT_EQ(login.passwordBox->text(), "");
        EXPECT_EQ(QApplication::focusWidget(), login.passwordBox);
        EXPECT_TRUE(module.enteredPassword().empty());
        QTest::keyClicks(login.passwordBox, "PW");
        QTest::keyClick(login.passwordBox, Qt::Key_Return);
    });
    main.load();
    EXPECT_EQ(module.enteredPassword(), "PW");
    EXPECT_EQ(main.windowTitle(), "Jotterel of 'Ann'");
}

TEST_F(Startup, LeavingTheLoginWindowWithoutLoginEndsTheProgram) {
    struct Case {
        const char* way;
        std::function<void(LoginWindow&)> leave;
    };
    const Case cases[] = {
        {"close box", [](LoginWindow& login) { login.close(); }},
        {"Exit button", [](LoginWindow& login) { login.exitButton->click(); }},
        {"Alt+X", [](LoginWindow& login) { QTest::keyClick(&login, Qt::Key_X, Qt::AltModifier); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.way);
        DiaryWindow w(module, nullptr, DiaryWindow::Controls::AfterLogin);
        connectCommands(w);
        makeMember("Ann", 110, "pw");
        QSignalSpy ended(&w, &DiaryWindow::programEnded);
        const int ran = modals.ran();
        modals.onNext<LoginWindow>([&](LoginWindow& login) {
            ASSERT_TRUE(QTest::qWaitForWindowActive(&login));
            c.leave(login);
        });
        w.load();
        EXPECT_EQ(modals.ran(), ran + 1);
        EXPECT_TRUE(w.ended());
        EXPECT_EQ(ended.count(), 1);
        EXPECT_FALSE(w.isVisible());
        EXPECT_TRUE(module.enteredPassword().empty());
        EXPECT_FALSE(w.controlsMade()); // no page was read, nor a page view made to show one
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        std::filesystem::remove_all(app / "Ann");
    }
}

} // namespace
