#include "diary/Form1.h"

#include "platform/core/Clock.h"
#include "platform/core/DateFormat.h"
#include "platform/core/Dialogs.h"
#include "platform/core/NumberText.h"
#include "platform/qt/TextBox.h"
#include "store/MemberFileWriter.h"
#include "store/Module1.h"

void Form1::Command3_Click() {
    if (!m_module.LoggedIn()) {
        return;
    }
    SetBusyPointer(true);
    Text2->SetText(Module1::ReplaceChar(Text2->Text(), ",", ";"));
    Text2->SetText(Module1::ReplaceChar(Text2->Text(), "\n", " "));
    if (Text2->Text().empty()) {
        platform::Ui().Beep();
        SetBusyPointer(false);
        return;
    }
    const int page = CurrentPage();
    if (platform::Ui().MsgBox("Save the typed text to page" + platform::Str(page) + "?",
                              platform::vbYesNo + platform::vbExclamation, platform::kAppTitle) == platform::vbNo) {
        SetBusyPointer(false);
        return;
    }
    const std::string stored = Text2->Text() + platform::EntryStamp(platform::Now());
    try {
        // The entry line and its empty line go in one append, so a failure leaves no half of it.
        AppendToMemberFile(m_module.PageFilePath(page), m_module.EncryptKeyed(stored) + "\r\n\r\n");
    } catch (const std::exception& e) {
        SetBusyPointer(false);
        ReportFailure("The entry cannot be saved to page" + platform::Str(page) +
                          ". The page is as it was, and the text stays in the entry box.",
                      e);
        return;
    }
    Text2->SetText({});
    RefreshPageView();
    Text1->SelectAll();
    Text2->setFocus();
    SetBusyPointer(false);
}
