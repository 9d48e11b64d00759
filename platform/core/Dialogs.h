#pragma once

#include <string>

namespace platform {

// Button and icon flags of a message box, added together.
enum MsgBoxFlags : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbExclamation = 48,
    vbInformation = 64,
};

// The button a message box returns.
enum MsgBoxResult : int {
    vbOK = 1,
    vbCancel = 2,
    vbYes = 6,
    vbNo = 7,
};

// The title every message and input box carries unless another is named.
inline constexpr const char* kAppTitle = "Jotterel";

// Message boxes, input boxes and the beep. Every text is UTF-8; a carriage return in a
// message starts a new line. The boxes are modal: the call returns the user's answer.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual int msgBox(const std::string& text, int flags, const std::string& title) = 0;
    // Returns the typed text; Cancel returns an empty text.
    virtual std::string inputBox(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText) = 0;
    // The same for a password: what is typed shows as dots and the box offers no default.
    // Dialogs that cannot mask answer as Cancel does, so no password is ever shown as typed.
    virtual std::string maskedInputBox(const std::string& prompt, const std::string& title);
    virtual void beep() = 0;
};

// The dialogs in use. The program installs the window system's at start; tests install a
// scripted one.
Dialogs& ui();
void setUi(Dialogs* dialogs);

} // namespace platform
