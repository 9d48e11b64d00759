#include "search/FindCommand.h"

#include <utility>

#include "diary/DiaryWindow.h"
#include "platform/core/Dialogs.h"
#include "search/FindResultsWindow.h"
#include "search/ResultLines.h"
#include "store/FoundEntries.h"
#include "store/MemberSession.h"

FindCommand::FindCommand(DiaryWindow& main) : QObject(&main), m_main(main) {
    setObjectName(QStringLiteral("FindCommand"));
    connect(&main, &DiaryWindow::programEnded, this, [this] { closeResultsWindow(); });
    // The results show the member's entries: they go with the member.
    connect(&main, &DiaryWindow::memberLoggedOut, this, [this] { closeResultsWindow(); });
}

FindCommand::~FindCommand() {
    delete m_results.data();
}

FindResultsWindow* FindCommand::resultsWindow() const {
    return m_results.data();
}

void FindCommand::find() {
    MemberSession& m = m_main.session();
    for (;;) {
        m.setSearchText(platform::ui().inputBox(kPrompt, platform::kAppTitle, m.searchText()));
        if (m.searchText().empty()) {
            return;
        }

        FoundEntries found = findEntries(m, m.searchText());

        FindResultsWindow& results = ensureResultsWindow();
        results.lines().append(std::move(found));
        if (results.lines().count() > 0) {
            // Shown, or brought forward when it is already open, even from the task bar.
            results.setWindowState(results.windowState() & ~Qt::WindowMinimized);
            results.show();
            results.raise();
            results.activateWindow();
            return;
        }
        platform::ui().msgBox(kNotFound, platform::vbOKOnly + platform::vbExclamation, platform::kAppTitle);
    }
}

FindResultsWindow& FindCommand::ensureResultsWindow() {
    if (!m_results) {
        auto* window = new FindResultsWindow(m_main);
        m_results = window;
        // A closed window is gone with its lines: the next Find starts a new list.
        connect(window, &FindResultsWindow::unloaded, this, [this, window] {
            if (m_results == window) {
                m_results = nullptr;
            }
        });
        window->load();
    }
    return *m_results;
}

void FindCommand::closeResultsWindow() {
    if (m_results) {
        m_results->close();
    }
}
