#include "search/FindCommand.h"

#include <QStringList>
#include <charconv>

#include "diary/DiaryWindow.h"
#include "platform/core/Dialogs.h"
#include "platform/core/FileSystem.h"
#include "platform/core/NumberText.h"
#include "platform/qt/QtText.h"
#include "search/FindResultsWindow.h"
#include "search/ResultLines.h"
#include "store/MemberSession.h"
#include "store/PageSearch.h"

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

        const PageSearch search(m.searchText(), m.cipherKey());
        QStringList lines;
        std::string line;
        std::string content;
        for (int page = 1; page <= MemberSession::kPageCount; ++page) {
            try {
                platform::readFileBytes(m.pageFilePath(page), content);
            } catch (const std::exception&) {
                continue; // a page that cannot be read has nothing to list
            }
            const std::string prefix = platform::str(page) + "     [";
            search.scan(content, [&](std::size_t entry, std::string_view text) {
                line.assign(prefix);
                char number[24];
                line.append(number, std::to_chars(number, number + sizeof number, entry).ptr);
                line.append("] ");
                line.append(text);
                lines.append(platform::toQString(line));
            });
        }

        FindResultsWindow& results = ensureResultsWindow();
        results.lines().append(lines);
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
