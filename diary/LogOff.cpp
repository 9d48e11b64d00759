#include "diary/Form1.h"
#include "platform/core/Dialogs.h"

void Form1::mnuLogoff_Click() {
    if (platform::Ui().MsgBox("Are you sure you want to log off?", platform::vbYesNo + platform::vbExclamation,
                              platform::kAppTitle) == platform::vbNo) {
        return;
    }
    EndSession();
    LogInAgain();
}
