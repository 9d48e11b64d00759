#pragma once

#include <QObject>
#include <QPointer>

class DiaryWindow;
class FindResultsWindow;

// Find (File menu, Ctrl+F): asks for a text, looks for it in every entry of the logged-in
// member's fifteen pages on disk, letter case ignored, and lists the entries that hold it in
// the find results window. The text is remembered in the member's session for the next Find and
// for the results window. It belongs to the main window and goes with it, and so does the
// results window, which also closes when the member's session ends.
class FindCommand : public QObject {
    Q_OBJECT
public:
    explicit FindCommand(DiaryWindow& main);
    ~FindCommand() override;

    void find();

    // The results window while it exists (shown, or made by a Find that found nothing and
    // still hidden); null once it was closed.
    FindResultsWindow* resultsWindow() const;

    static constexpr const char* kPrompt = "Enter text to search for in your diary";
    static constexpr const char* kNotFound = "Text not found.";

private:
    FindResultsWindow& ensureResultsWindow();
    void closeResultsWindow();

    DiaryWindow& m_main;
    QPointer<FindResultsWindow> m_results;
};
