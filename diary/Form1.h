#pragma once

#include <QMainWindow>
#include <functional>
#include <string>

#include "diary/Form1Geometry.h"

class Module1;
class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
namespace platform {
class Label;
class TextBox;
} // namespace platform

// The main window: the page view of one page of the logged-in member, the entry box, the page
// selector with its navigation buttons, the page caption and the File menu through which the
// other commands are reached. It lives for the whole run; other windows and commands reach the
// diary through what it declares here.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(Module1& module, QWidget* parent = nullptr);
    ~Form1() override;

    Module1& module() const { return m_module; }

    // Controls, named as designed.
    platform::TextBox* Text1 = nullptr; // page view
    QLabel* Label1 = nullptr;           // instruction label
    platform::TextBox* Text2 = nullptr; // entry box
    QPushButton* Command6 = nullptr;    // "<<"
    QPushButton* Command1 = nullptr;    // "<"
    QComboBox* Combo1 = nullptr;        // page selector
    QPushButton* Command2 = nullptr;    // ">"
    QPushButton* Command5 = nullptr;    // ">>"
    platform::Label* Label2 = nullptr;  // caption label
    QPushButton* Command4 = nullptr;    // "E&xit"
    QPushButton* Command3 = nullptr;    // "&Commit", the default button

    // The File menu.
    QMenu* mnuFile1 = nullptr;
    QAction* mnuFind = nullptr;
    QAction* line4 = nullptr;
    QAction* mnuLogoff = nullptr;
    QAction* mnuPasswd = nullptr;
    QAction* line1 = nullptr;
    QAction* mnuExportPage = nullptr;
    QAction* mnuExportAll = nullptr;
    QAction* line2 = nullptr;
    QAction* mnuDelExports = nullptr;
    QAction* line5 = nullptr;
    QAction* mnuDeleteItem = nullptr;
    QAction* mnuDelPage = nullptr;
    QAction* mnuDelAll = nullptr;
    QAction* mnuDelUser = nullptr;
    QAction* line3 = nullptr;
    QAction* mnuExit2 = nullptr;

    // Window load: centres the window and selects page 1, which opens the login window first.
    void Form_Load();

    // Page selection: runs whenever the page selector's index changes.
    void Combo1_Click();

    // Puts the display text of the page shown into the page view. A page that cannot be read
    // leaves the view empty and usable, with a message, and returns false.
    bool RefreshPageView();
    // True when the page view holds the whole page shown: its last refresh could read it.
    bool PageShownWhole() const { return m_pageShownWhole; }
    // While set, a page that cannot be shown leaves the view empty without a message (a command
    // that walks through the pages says what it met at its end).
    void SetPageErrorsQuiet(bool quiet) { m_pageErrorsQuiet = quiet; }

    // Navigation buttons.
    void Command6_Click();
    void Command1_Click();
    void Command2_Click();
    void Command5_Click();

    // Commit of the entry box.
    void Command3_Click();

    // A click on the caption label: edits the caption of the page shown.
    void Label2_Click();

    // Lays the controls out again for the window's present outer size.
    void Form_Resize();

    // Log off: hands the window to the next member who logs in.
    void mnuLogoff_Click();

    // A member has logged in: the title and the menu name the member.
    void MemberLoggedIn();
    // Ends the member's session (log off and deleting the member): the member is forgotten, the
    // views and the title are emptied, and whatever showed the member's entries is closed.
    void EndSession();
    // Opens the login window after a session ended; the member who logs in sees page 1.
    void LogInAgain();

    // Exit: saves the page captions, then closes the window, which ends the program.
    void Command4_Click();

    // The page shown: the selector's index plus one.
    int CurrentPage() const;

    // Opens the login window modally, owned by this window, and waits until it closes. The
    // program installs the opener (the login window lives in its own part of the program).
    void SetLoginOpener(std::function<void(Form1&)> opener) { m_loginOpener = std::move(opener); }
    void ShowLoginWindow();

    // Ends the program at once: every window closes, nothing more is written.
    void EndProgram();
    bool Ended() const { return m_ended; }

    // Geometry of the controls in twips, and placing the widgets by it.
    const Form1Geometry& Geometry() const { return m_geometry; }
    void SetGeometry(const Form1Geometry& geometry);

    // The busy pointer over the main window while a command works, and back to the default.
    void SetBusyPointer(bool busy);

    // Shows a message about a failed file operation: what failed and why.
    static void ReportFailure(const std::string& what, const std::exception& error);

signals:
    // The program is ending; the application closes every window.
    void programEnded();
    // The member's session has ended: nothing of the member may stay on screen.
    void memberLoggedOut();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    // The unload: closing the main window in any way ends the program.
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createMenu();
    void setTabOrder();
    Module1& m_module;
    QWidget* m_client = nullptr;
    Form1Geometry m_geometry;
    std::function<void(Form1&)> m_loginOpener;
    bool m_ended = false;
    bool m_pageShownWhole = false;
    bool m_pageErrorsQuiet = false;
    QSize m_laidOutFor; // the outer size, in pixels, the controls were last laid out for
};
