#include <QLabel>

#include "diary/Form1.h"
#include "platform/core/Attempt.h"
#include "platform/core/Dialogs.h"
#include "platform/core/Unicode.h"
#include "platform/qt/Ansi.h"
#include "platform/qt/Label.h"
#include "store/Module1.h"

namespace {

constexpr std::size_t kCaptionLimit = 32;

} // namespace

void Form1::Label2_Click() {
    if (!m_module.LoggedIn()) {
        return;
    }
    // Saving a caption writes all fifteen: over a captions file that could not be read, that
    // would lose the captions it holds.
    if (const auto& unreadable = m_module.CaptionsUnreadable()) {
        ReportFailure("The captions of your pages cannot be read, so no caption can be changed now.", *unreadable);
        return;
    }
    for (;;) {
        std::string answer;
        platform::Attempt([&] {
            answer = platform::Ui().InputBox("Enter a caption for this page (upto 32 characters long)",
                                             platform::kAppTitle, platform::FromQString(Label2->text()));
        });
        if (answer.empty()) {
            return;
        }
        // The limit counts the characters the member sees, however many bytes they take.
        if (platform::CharacterCount(answer) > kCaptionLimit) {
            platform::Attempt(
                [&] { platform::Ui().MsgBox("Label too long", platform::vbOKOnly, platform::kAppTitle); });
            continue; // the question again, offering the caption shown, not the refused answer
        }
        const int page = CurrentPage();
        platform::Attempt([&] { m_module.SetCaption(page, answer); });
        platform::Attempt([&] { Label2->setText(platform::ToQString(m_module.Caption(page))); });
        // A captions file that cannot be written leaves the caption shown and kept until the
        // next page selection reloads the captions.
        platform::Attempt([&] { m_module.SaveCaptions(); });
        return;
    }
}
