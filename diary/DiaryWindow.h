#pragma once

#include <QMainWindow>
#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "diary/DiaryGeometry.h"

class MemberSession;
class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
namespace platform {
class FramePlacement;
class IdleWatch;
class Label;
class PageView;
class TextBox;
} // namespace platform

// The main window: the page view of one page of the logged-in member, the entry box, the page
// selector with its navigation buttons, the page caption and the File menu through which the
// other commands are reached. It lives for the whole run; other windows and commands reach the
// diary through what it declares here.
class DiaryWindow : public QMainWindow {
    Q_OBJECT
public:
    // The controls and the menu are made with the window, or, for the program's start, only once
    // the login window has done its work (load): the login window is then on screen as soon as
    // the program has started, and a program ended from it never makes them.
    enum class Controls { Now, AfterLogin };
    explicit DiaryWindow(MemberSession& module, QWidget* parent = nullptr, Controls controls = Controls::Now);
    ~DiaryWindow() override;

    MemberSession& session() const { return m_module; }

    // Controls, named as designed.
    platform::PageView* pageView = nullptr;    // page view
    QLabel* instructionLabel = nullptr;        // instruction label
    platform::TextBox* entryBox = nullptr;     // entry box
    QPushButton* firstPageButton = nullptr;    // "<<"
    QPushButton* previousPageButton = nullptr; // "<"
    QComboBox* pageSelector = nullptr;         // page selector
    QPushButton* nextPageButton = nullptr;     // ">"
    QPushButton* lastPageButton = nullptr;     // ">>"
    platform::Label* captionLabel = nullptr;   // caption label
    QPushButton* exitButton = nullptr;         // "E&xit"
    QPushButton* commitButton = nullptr;       // "&Commit", the default button

    // The File menu.
    QMenu* fileMenu = nullptr;
    QAction* findAction = nullptr;
    QAction* separatorAfterFind = nullptr;
    QAction* logOffAction = nullptr;
    QAction* changePasswordAction = nullptr;
    QAction* protectAction = nullptr;   // shown for a classic diary
    QAction* unprotectAction = nullptr; // shown for a protected one
    QAction* separatorAfterPassword = nullptr;
    QAction* exportThisPageAction = nullptr;
    QAction* exportAllPagesAction = nullptr;
    QAction* separatorAfterExports = nullptr;
    QAction* deleteExportedPagesAction = nullptr;
    QAction* separatorAfterDeleteExports = nullptr;
    QAction* deleteAnItemAction = nullptr;
    QAction* deleteThisPageAction = nullptr;
    QAction* deleteAllPagesAction = nullptr;
    QAction* deleteUserAction = nullptr;
    QAction* separatorBeforeExit = nullptr;
    QAction* exitAction = nullptr;

    // Window load: centres the window and selects page 1, which opens the login window first.
    void load();
    // Runs wiring once the controls and the menu exist: at once, or when load has made them.
    void whenControlsMade(std::function<void()> wiring);
    bool controlsMade() const { return pageView != nullptr; }

    // Page selection: runs whenever the page selector's index changes.
    void showSelectedPage();

    // Puts the display text of the page shown into the page view. A page that cannot be read
    // leaves the view empty and usable, with a message, and returns false.
    bool refreshPageView();
    // True when the page view holds the whole page shown: its last refresh could read it.
    bool pageShownWhole() const { return m_pageShownWhole; }

    // Navigation buttons.
    void goToFirstPage();
    void goToPreviousPage();
    void goToNextPage();
    void goToLastPage();

    // Commit of the entry box.
    void commitEntry();

    // A click on the caption label: edits the caption of the page shown.
    void editCaption();

    // Lays the controls out again for the window's present outer size.
    void layOutControls();

    // Log off: hands the window to the next member who logs in.
    void logOff();

    // A member has logged in: the title and the menu name the member.
    void memberLoggedIn();
    // Offers Protect my diary or Unprotect my diary, whichever the member's diary is not.
    void showProtectionChoice();
    // Ends the member's session (log off and deleting the member): the member is forgotten, the
    // views and the title are emptied, and whatever showed the member's entries is closed.
    void endSession();
    // Opens the login window after a session ended; the member who logs in sees page 1, and
    // the entry the automatic log off kept for that member back in the entry box.
    void logInAgain();

    // The automatic log off, after kIdleLimit without keyboard or mouse input in any of the
    // program's windows: the member is logged off as Log off does, without the question, the
    // captions are saved, and the entry typed but not committed is kept for the member's next
    // login in this run.
    static constexpr std::chrono::minutes kIdleLimit{10};
    platform::IdleWatch* idleWatch = nullptr;
    void logOffIdleMember();

    // Exit: saves the page captions, then closes the window, which ends the program.
    void saveCaptionsAndExit();

    // The page shown: the selector's index plus one.
    int currentPage() const;

    // What the other parts of the program ask of the diary window.
    // Shows page 1 to 15, as the member's own choice of it does; a page already shown is not
    // read again.
    void showPage(int page);
    // Shows page 1 to 15 read afresh with its caption, whether or not it is shown already, and
    // puts the focus in the entry box (a new member's first page).
    void showPageAfresh(int page);
    // The text the page view shows (the display text of the page shown).
    const std::string& pageText() const;
    void clearPageView();
    // Selects the whole page view, as after an entry is committed or masked.
    void selectWholePage();
    // Brings the diary forward with the page view focused and offset to offset + length of its
    // text selected (offsets count as the page view counts them).
    void showFoundText(std::size_t offset, std::size_t length);

    // Opens the login window modally, owned by this window, and waits until it closes. The
    // program installs the opener (the login window lives in its own part of the program).
    void setLoginOpener(std::function<void(DiaryWindow&)> opener) { m_loginOpener = std::move(opener); }
    void showLoginWindow();

    // Ends the program at once: every window closes, nothing more is written.
    void endProgram();
    bool ended() const { return m_ended; }

    // Geometry of the controls in twips, and placing the widgets by it.
    const DiaryGeometry& twipsGeometry() const { return m_geometry; }
    void setGeometry(const DiaryGeometry& geometry);

signals:
    // The program is ending; the application closes every window.
    void programEnded();
    // The member's session has ended: nothing of the member may stay on screen.
    void memberLoggedOut();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The unload: closing the main window in any way ends the program.
    void closeEvent(QCloseEvent* event) override;

private:
    void makeControls();
    void createControls();
    void createMenu();
    void setTabOrder();
    // Empties what showed or held the member's text, its memory overwritten, and the clipboard
    // and the selection where they hold what the program put there.
    void wipeMemberTraces();
    void putBackDraft();
    // The member's name in the File menu and the protection command that applies.
    void showMemberInMenu();
    MemberSession& m_module;
    std::vector<std::function<void()>> m_wiring;
    QWidget* m_client = nullptr;
    DiaryGeometry m_geometry;
    std::function<void(DiaryWindow&)> m_loginOpener;
    bool m_ended = false;
    bool m_pageShownWhole = false;
    platform::FramePlacement* m_placement = nullptr;
    // The entries the automatic log off kept, by member, until each one's next login.
    std::map<std::string, std::string> m_drafts;
    // A command's question that the automatic log off closed: the member is logged off once
    // the program is back below this event loop.
    bool m_idleLogOffDue = false;
    int m_idleLoopLevel = 0;
};
