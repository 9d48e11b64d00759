#include "deletion/ClearPage.h"

#include <string>

#include "diary/Form1.h"
#include "platform/core/Dialogs.h"
#include "platform/qt/TextBox.h"
#include "store/MemberFileWriter.h"
#include "store/Module1.h"

void mnuDelPage_Click(Form1& form) {
    constexpr int kYesNoCaution = platform::vbYesNo + platform::vbExclamation;
    if (platform::Ui().MsgBox("Are you sure you want to clear this page from your diary?", kYesNoCaution,
                              platform::kAppTitle) == platform::vbNo) {
        return;
    }
    if (platform::Ui().MsgBox("Deleted information cannot be restored later. Do you still want to proceed?",
                              kYesNoCaution, platform::kAppTitle) == platform::vbNo) {
        return;
    }
    try {
        RewriteMemberFile(form.module().PageFilePath(form.CurrentPage()), {});
    } catch (const std::exception& e) {
        Form1::ReportFailure(
            "Page " + std::to_string(form.CurrentPage()) + " cannot be cleared; its file is left as it was.", e);
        return;
    }
    form.Text1->SetText({});
}
