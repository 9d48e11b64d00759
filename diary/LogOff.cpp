#include "diary/DiaryWindow.h"
#include "platform/core/Dialogs.h"

void DiaryWindow::logOff() {
    if (platform::ui().msgBox("Are you sure you want to log off?", platform::vbYesNo + platform::vbExclamation,
                              platform::kAppTitle) == platform::vbNo) {
        return;
    }
    endSession();
    logInAgain();
}
