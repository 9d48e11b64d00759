#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "store/MemberList.h"

class DiaryWindow;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
namespace platform {
class FramePlacement;
}

// The login window: the member picks a name and types the password. It also adds members and
// can end the program. Opened modally by the main window whenever nobody is logged in.
class LoginWindow : public QDialog {
    Q_OBJECT
public:
    // The controls are made with the window, or once it is on screen, just before it is first
    // painted: making them loads the faces their texts are drawn in, most of the time the window
    // takes to come up, so the program's login window is mapped first.
    enum class Controls { Now, OnceShown };
    explicit LoginWindow(DiaryWindow& main, Controls controls = Controls::Now);

    QLabel* titleLabel = nullptr;           // product title
    QLabel* contactLabel = nullptr;         // contact line
    QLabel* descriptionLabel = nullptr;     // description
    QGroupBox* loginFrame = nullptr;        // "Member login"
    QLabel* memberLabel = nullptr;          // "Username"
    QComboBox* memberSelector = nullptr;    // member names
    QLabel* passwordLabel = nullptr;        // "Password"
    QLineEdit* passwordBox = nullptr;       // password, masked
    QPushButton* exitButton = nullptr;      // "E&xit"
    QPushButton* addMemberButton = nullptr; // "&Add user..."
    QPushButton* okButton = nullptr;        // "&OK", the default button

    // Window load: placement and the member list (the list once the controls are made).
    void load();
    bool controlsMade() const { return memberSelector != nullptr; }
    // OK: the login attempt.
    void logIn();
    // Exit: ends the program.
    void exitProgram();
    // Add user.
    void addMember();

    // The title bar text.
    static constexpr const char* kTitle = "Jotterel - Member login";
    // The contact line under the title bar (UTF-8, as all text handed to the windows).
    static constexpr const char* kContactLine = "Jotterel 1.0 \xe2\x80\x93 a shared diary";

    bool loggedIn() const { return m_loggedIn; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void makeControlsNowShown();
    void listMembers();
    // The password box and OK are usable as soon as the application folder holds a folder.
    void offerFolders(const std::vector<ListedFolder>& folders);

    DiaryWindow& m_main;
    platform::FramePlacement* m_placement = nullptr;
    bool m_loggedIn = false;
    static constexpr int kControlsAtLatestMs = 200;
    bool m_listDue = false;
};
