#pragma once

#include <QDialog>
#include <string>

class Form1;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The login window: the member picks a name and types the password. It also adds members and
// can end the program. Opened modally by the main window whenever nobody is logged in.
class Form2 : public QDialog {
    Q_OBJECT
public:
    explicit Form2(Form1& main);

    QLabel* Label3 = nullptr;        // product title
    QLabel* Label5 = nullptr;        // contact line
    QLabel* Label4 = nullptr;        // description
    QGroupBox* Frame1 = nullptr;     // "Member login"
    QLabel* Label2 = nullptr;        // "Username"
    QComboBox* Combo1 = nullptr;     // member names
    QLabel* Label1 = nullptr;        // "Password"
    QLineEdit* Text1 = nullptr;      // password, masked
    QPushButton* Command2 = nullptr; // "E&xit"
    QPushButton* Command3 = nullptr; // "&Add user..."
    QPushButton* Command1 = nullptr; // "&OK", the default button
    QListWidget* List1 = nullptr;    // scratch list of folders, out of sight

    // Window load: placement and the member list.
    void Form_Load();
    // OK: the login attempt.
    void Command1_Click();
    // Exit: ends the program.
    void Command2_Click();
    // Add user.
    void Command3_Click();

    // The title bar text.
    static constexpr const char* kTitle = "Jotterel - Member login";
    // The contact line under the title bar.
    static constexpr const char* kContactLine = "Jotterel 1.0 \x96 a shared diary";

    bool LoggedIn() const { return m_loggedIn; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();

    Form1& m_main;
    bool m_loggedIn = false;
};
