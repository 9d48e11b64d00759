#include "search/FindCommand.h"

#include <QStringList>
#include <charconv>

#include "diary/Form1.h"
#include "platform/core/Dialogs.h"
#include "platform/core/FileSystem.h"
#include "platform/core/NumberText.h"
#include "platform/qt/Ansi.h"
#include "search/Form3.h"
#include "search/PageSearch.h"
#include "search/ResultLines.h"
#include "store/Module1.h"

FindCommand::FindCommand(Form1& main) : QObject(&main), m_main(main) {
    setObjectName(QStringLiteral("FindCommand"));
    connect(&main, &Form1::programEnded, this, [this] { closeResultsWindow(); });
    // The results show the member's entries: they go with the member.
    connect(&main, &Form1::memberLoggedOut, this, [this] { closeResultsWindow(); });
}

FindCommand::~FindCommand() {
    delete m_results.data();
}

Form3* FindCommand::ResultsWindow() const {
    return m_results.data();
}

void FindCommand::mnuFind_Click() {
    Module1& m = m_main.module();
    for (;;) {
        m.SetSearchText(platform::Ui().InputBox(kPrompt, platform::kAppTitle, m.SearchText()));
        if (m.SearchText().empty()) {
            return;
        }

        const PageSearch search(m.SearchText(), m.CipherKey());
        QStringList lines;
        std::string line;
        std::string content;
        for (int page = 1; page <= Module1::kPageCount; ++page) {
            try {
                platform::ReadFileBytes(m.PageFilePath(page), content);
            } catch (const std::exception&) {
                continue; // a page that cannot be read has nothing to list
            }
            const std::string prefix = platform::Str(page) + "     [";
            search.Scan(content, [&](std::size_t entry, std::string_view text) {
                line.assign(prefix);
                char number[24];
                line.append(number, std::to_chars(number, number + sizeof number, entry).ptr);
                line.append("] ");
                line.append(text);
                lines.append(platform::ToQString(line));
            });
        }

        Form3& results = resultsWindow();
        results.Lines().Append(lines);
        if (results.Lines().Count() > 0) {
            // Shown, or brought forward when it is already open, even from the task bar.
            results.setWindowState(results.windowState() & ~Qt::WindowMinimized);
            results.show();
            results.raise();
            results.activateWindow();
            return;
        }
        platform::Ui().MsgBox(kNotFound, platform::vbOKOnly + platform::vbExclamation, platform::kAppTitle);
    }
}

Form3& FindCommand::resultsWindow() {
    if (!m_results) {
        auto* window = new Form3(m_main);
        m_results = window;
        // A closed window is gone with its lines: the next Find starts a new list.
        connect(window, &Form3::unloaded, this, [this, window] {
            if (m_results == window) {
                m_results = nullptr;
            }
        });
        window->Form_Load();
    }
    return *m_results;
}

void FindCommand::closeResultsWindow() {
    if (m_results) {
        m_results->close();
    }
}
