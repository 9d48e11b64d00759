#include <QPushButton>

#include "diary/Form1.h"
#include "platform/core/Dialogs.h"
#include "platform/qt/TextBox.h"
#include "store/Module1.h"

void Form1::mnuLogoff_Click() {
    if (platform::Ui().MsgBox("Are you sure you want to log off?", platform::vbYesNo + platform::vbExclamation,
                              platform::kAppTitle) == platform::vbNo) {
        return;
    }
    Text1->SetText({});
    Text2->SetText({});
    setWindowTitle(QStringLiteral("Jotterel"));
    m_module.CurrentUser.clear();
    m_module.EnteredPassword.clear();
    m_module.Lock.Release();
    ShowLoginWindow();
    if (m_ended) {
        return;
    }
    // Whatever page was shown, one of the two presses changes the page selector, so the page
    // view reads the new member's pages and ends on page 1.
    Command5->click();
    Command6->click();
}
