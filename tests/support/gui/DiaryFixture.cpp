#include "support/gui/DiaryFixture.h"

#include <QComboBox>
#include <QLineEdit>

#include "app/Wiring.h"
#include "login/LoginWindow.h"
#include "platform/qt/QtText.h"

DiaryFixture::DiaryFixture() = default;

DiaryFixture::~DiaryFixture() {
    loginWindow.reset(); // a child of the main window
    form.reset();
}

DiaryWindow& DiaryFixture::makeWindow() {
    loginWindow.reset(); // a child of the window replaced
    form = std::make_unique<DiaryWindow>(module);
    connectCommands(*form);
    form->setLoginOpener([this](DiaryWindow& owner) {
        ++loginWindowsOpened;
        LoginWindow login(owner);
        login.load();
        if (m_loginSteps.empty()) {
            login.close();
            return;
        }
        auto step = std::move(m_loginSteps.front());
        m_loginSteps.erase(m_loginSteps.begin());
        step(login);
    });
    return *form;
}

DiaryWindow& DiaryFixture::openDiary(const std::string& member, const std::string& password) {
    makeWindow();
    nextLoginAs(member, password);
    form->load();
    return *form;
}

LoginWindow& DiaryFixture::openLoginWindow() {
    makeWindow();
    loginWindow = std::make_unique<LoginWindow>(*form);
    loginWindow->load();
    return *loginWindow;
}

void DiaryFixture::nextLoginAs(const std::string& member, const std::string& password) {
    nextLogin([member, password](LoginWindow& login) { typeLogin(login, member, password); });
}

void DiaryFixture::typeLogin(LoginWindow& login, const std::string& member, const std::string& password) {
    login.memberSelector->setCurrentIndex(login.memberSelector->findText(platform::toQString(member)));
    login.passwordBox->setText(platform::toQString(password));
    login.logIn();
}
