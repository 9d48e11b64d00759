#pragma once

#include "platform/core/Dialogs.h"

namespace platform {

// The dialogs of the window system: QMessageBox and QInputDialog, modal over the active window.
class QtDialogs : public Dialogs {
public:
    int msgBox(const std::string& text, int flags, const std::string& title) override;
    std::string inputBox(const std::string& prompt, const std::string& title, const std::string& defaultText) override;
    std::string maskedInputBox(const std::string& prompt, const std::string& title) override;
    void beep() override;
};

} // namespace platform
