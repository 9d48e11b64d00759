#pragma once

#include <QDialog>

#include "search/FindResultsGeometry.h"

class DiaryWindow;
class QLineEdit;
class QListView;
class QPushButton;
class ResultLines;
namespace platform {
class FramePlacement;
class LayoutWatcher;
} // namespace platform

// The find results window: the lines Find lists, one per entry that holds the searched text,
// and the way back from a line to its page. It has no owner and is not modal, so the diary
// stays usable while it is open. Closing it unloads it: its lines are gone.
class FindResultsWindow : public QDialog {
    Q_OBJECT
public:
    explicit FindResultsWindow(DiaryWindow& main);

    // Controls, named as designed.
    QPushButton* closeButton = nullptr; // "Close", the cancel button
    QLineEdit* columnHeader = nullptr;  // column header
    QPushButton* openButton = nullptr;  // "Open", the default button
    QListView* resultList = nullptr;    // result lines

    static constexpr const char* kCaption = "Find results (double-click on item to open page)";
    static constexpr const char* kHeader = "Page #              Text";

    // Window load: three quarters of the main window's outer width, its designed height,
    // centred on the screen by its outer size.
    void load();

    // Lays the controls out for the window's present outer size.
    void layOutControls();

    // Open: shows the page of the selected line (or of the first line when none is selected)
    // with the first occurrence of the searched text selected in the page view.
    void openResult();

    // Close.
    void closeResults();

    // Double-click on a line: Open, then close in any case.
    void openDoubleClickedResult();

    // The lines resultList shows.
    ResultLines& lines() const { return *m_lines; }

    const FindResultsGeometry& twipsGeometry() const { return m_geometry; }

signals:
    // The window is closing and goes away with its lines.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void createControls();
    void place();
    // Sizes and centres the window by its outer size (see load()).
    void placeWindow();

    DiaryWindow& m_main;
    ResultLines* m_lines = nullptr;
    platform::LayoutWatcher* m_layoutWatcher = nullptr;
    platform::FramePlacement* m_placement = nullptr;
    FindResultsGeometry m_geometry = FindResultsGeometry::designTime();
    bool m_unloaded = false;
};
