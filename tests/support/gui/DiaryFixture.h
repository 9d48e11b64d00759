#pragma once

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "diary/DiaryWindow.h"
#include "store/MemberSession.h"
#include "support/core/MemberFixture.h"
#include "support/core/TempFolder.h"
#include "support/gui/QtPrinters.h"
#include "support/gui/RecordingLauncher.h"
#include "support/gui/ScriptedDialogs.h"

class LoginWindow;

// A main window over a temporary application folder, with the program's own wiring, scripted
// dialogs and a launcher recorder. The login window is the real one, driven without its modal
// loop: each time the main window opens it, the next login step runs on it.
class DiaryFixture : public ::testing::Test {
protected:
    DiaryFixture();
    ~DiaryFixture() override;

    // Makes the main window (not yet loaded).
    DiaryWindow& makeWindow();

    // Makes the main window and loads it, logging in as member with password.
    DiaryWindow& openDiary(const std::string& member, const std::string& password);

    // What happens in the login window the next time it opens; by default it is closed
    // without a login. Each step is used once.
    void nextLogin(std::function<void(LoginWindow&)> step) { m_loginSteps.push_back(std::move(step)); }
    void nextLoginAs(const std::string& member, const std::string& password);

    // Makes the main window and a login window owned by it, loaded but not shown, outside any
    // modal loop: tests press its buttons directly.
    LoginWindow& openLoginWindow();

    // Types name and password into the login window and presses OK.
    static void typeLogin(LoginWindow& login, const std::string& member, const std::string& password);

    // A member made on disk with the given key and password.
    std::string makeMember(const std::string& name, int key, const std::string& password) {
        return fixture::makeMember(app.path(), name, key, password);
    }
    void writePage(const std::string& member, int page, int key, const std::vector<std::string>& lines) {
        fixture::writePage(app.path(), member, page, key, lines);
    }
    std::string pageFile(const std::string& member, int page) const {
        return fixture::pageFile(app.path(), member, page);
    }

    TempFolder app;
    MemberSession module{app.path()};
    ScriptedDialogs ui;
    RecordingLauncher programs;
    std::unique_ptr<DiaryWindow> form;
    std::unique_ptr<LoginWindow> loginWindow;
    int loginWindowsOpened = 0;

private:
    std::vector<std::function<void(LoginWindow&)>> m_loginSteps;
};
