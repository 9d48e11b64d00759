#include <QApplication>
#include <QThread>
#include <QTimer>
#include <optional>

#include "diary/DiaryWindow.h"
#include "platform/core/FileError.h"
#include "platform/core/Wipe.h"
#include "platform/qt/ReportFailure.h"
#include "platform/qt/TextBox.h"
#include "store/MemberSession.h"

namespace {

// How soon the log off is tried again once a question it closed has let its command end.
constexpr int kRetryMilliseconds = 20;

} // namespace

void DiaryWindow::logOffIdleMember() {
    if (m_ended || !m_module.loggedIn()) {
        m_idleLogOffDue = false;
        return;
    }
    // A question of the member's that nobody answers is closed as Escape closes it. The session
    // ends only once the command that asked has come to its end, never under it: the command
    // would go on for the next member.
    const int level = QThread::currentThread()->loopLevel();
    if (QWidget* modal = QApplication::activeModalWidget()) {
        m_idleLogOffDue = true;
        m_idleLoopLevel = level - 1;
        modal->close();
        QTimer::singleShot(kRetryMilliseconds, this, &DiaryWindow::logOffIdleMember);
        return;
    }
    if (m_idleLogOffDue && level > m_idleLoopLevel) {
        QTimer::singleShot(kRetryMilliseconds, this, &DiaryWindow::logOffIdleMember);
        return;
    }
    m_idleLogOffDue = false;

    const std::string member = m_module.currentMember();
    if (!entryBox->text().empty()) {
        std::string& kept = m_drafts[member];
        platform::wipe(kept);
        kept = entryBox->text();
    }
    std::optional<platform::FileError> notSaved;
    try {
        m_module.saveCaptions();
    } catch (const platform::FileError& e) {
        notSaved = e;
    }
    endSession();
    if (notSaved) {
        platform::reportFailure("Jotterel has logged '" + member +
                                    "' off after ten minutes without use. The page captions could not be saved.",
                                *notSaved);
    }
    logInAgain();
}

void DiaryWindow::putBackDraft() {
    const auto kept = m_drafts.find(m_module.currentMember());
    if (kept == m_drafts.end()) {
        return;
    }
    entryBox->setText(std::move(kept->second));
    m_drafts.erase(kept);
}
