#include "support/gui/DiaryFixture.h"

#include <QComboBox>
#include <QLineEdit>

#include "app/Wiring.h"
#include "login/Form2.h"
#include "platform/qt/Ansi.h"

DiaryFixture::DiaryFixture() = default;

DiaryFixture::~DiaryFixture() {
    loginWindow.reset(); // a child of the main window
    form.reset();
}

Form1& DiaryFixture::MakeWindow() {
    loginWindow.reset(); // a child of the window replaced
    form = std::make_unique<Form1>(module);
    ConnectCommands(*form);
    form->SetLoginOpener([this](Form1& owner) {
        ++loginWindowsOpened;
        Form2 login(owner);
        login.Form_Load();
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

Form1& DiaryFixture::OpenDiary(const std::string& member, const std::string& password) {
    MakeWindow();
    NextLoginAs(member, password);
    form->Form_Load();
    return *form;
}

Form2& DiaryFixture::OpenLoginWindow() {
    MakeWindow();
    loginWindow = std::make_unique<Form2>(*form);
    loginWindow->Form_Load();
    return *loginWindow;
}

void DiaryFixture::NextLoginAs(const std::string& member, const std::string& password) {
    NextLogin([member, password](Form2& login) { TypeLogin(login, member, password); });
}

void DiaryFixture::TypeLogin(Form2& login, const std::string& member, const std::string& password) {
    login.Combo1->setCurrentIndex(login.Combo1->findText(platform::ToQString(member)));
    login.Text1->setText(platform::ToQString(password));
    login.Command1_Click();
}
