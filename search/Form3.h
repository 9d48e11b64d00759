#pragma once

#include <QDialog>

#include "search/Form3Geometry.h"

class Form1;
class QLineEdit;
class QListView;
class QPushButton;
class ResultLines;

// The find results window: the lines Find lists, one per entry that holds the searched text,
// and the way back from a line to its page. It has no owner and is not modal, so the diary
// stays usable while it is open. Closing it unloads it: its lines are gone.
class Form3 : public QDialog {
    Q_OBJECT
public:
    explicit Form3(Form1& main);

    // Controls, named as designed.
    QPushButton* Command2 = nullptr; // "Close", the cancel button
    QLineEdit* Text1 = nullptr;      // column header
    QPushButton* Command1 = nullptr; // "Open", the default button
    QListView* List1 = nullptr;      // result lines

    static constexpr const char* kCaption = "Find results (double-click on item to open page)";
    static constexpr const char* kHeader = "Page #              Text";

    // Window load: three quarters of the main window's outer width, its designed height,
    // centred on the screen.
    void Form_Load();

    // Lays the controls out for the window's present size.
    void Form_Resize();

    // Open: shows the page of the selected line (or of the first line when none is selected)
    // with the first occurrence of the searched text selected in the page view.
    void Command1_Click();

    // Close.
    void Command2_Click();

    // Double-click on a line: Open, then close in any case.
    void List1_DblClick();

    // The lines List1 shows.
    ResultLines& Lines() const { return *m_lines; }

    const Form3Geometry& Geometry() const { return m_geometry; }

signals:
    // The window is closing and goes away with its lines.
    void unloaded();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void createControls();
    void place();
    void focusPageView();

    Form1& m_main;
    ResultLines* m_lines = nullptr;
    Form3Geometry m_geometry = Form3Geometry::DesignTime();
    bool m_unloaded = false;
};
