#include <QLabel>

#include "diary/DiaryWindow.h"
#include "platform/core/Attempt.h"
#include "platform/core/Dialogs.h"
#include "platform/core/Unicode.h"
#include "platform/qt/Label.h"
#include "platform/qt/QtText.h"
#include "platform/qt/ReportFailure.h"
#include "store/MemberSession.h"

namespace {

constexpr std::size_t kCaptionLimit = 32;

} // namespace

void DiaryWindow::editCaption() {
    if (!m_module.loggedIn()) {
        return;
    }
    // Saving a caption writes all fifteen: over a captions file that could not be read, that
    // would lose the captions it holds.
    if (const auto& unreadable = m_module.captionsUnreadable()) {
        platform::reportFailure("The captions of your pages cannot be read, so no caption can be changed now.",
                                *unreadable);
        return;
    }
    for (;;) {
        const std::string answer =
            platform::ui().inputBox("Enter a caption for this page (upto 32 characters long)", platform::kAppTitle,
                                    platform::fromQString(captionLabel->text()));
        if (answer.empty()) {
            return;
        }
        // The limit counts the characters the member sees, however many bytes they take.
        if (platform::characterCount(answer) > kCaptionLimit) {
            platform::ui().msgBox("Label too long", platform::vbOKOnly, platform::kAppTitle);
            continue; // the question again, offering the caption shown, not the refused answer
        }
        const int page = currentPage();
        m_module.setCaption(page, answer);
        captionLabel->setText(platform::toQString(m_module.caption(page)));
        // A captions file that cannot be written leaves the caption shown and kept until the
        // next page selection reloads the captions.
        platform::attempt([&] { m_module.saveCaptions(); });
        return;
    }
}
