#include "diary/DiaryWindow.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>

#include "platform/core/Attempt.h"
#include "platform/core/Wipe.h"
#include "platform/qt/CentreByOuterSize.h"
#include "platform/qt/ClearOwnedClipboard.h"
#include "platform/qt/FramePlacement.h"
#include "platform/qt/IdleWatch.h"
#include "platform/qt/Label.h"
#include "platform/qt/LayoutWatcher.h"
#include "platform/qt/PageView.h"
#include "platform/qt/QtText.h"
#include "platform/qt/ReportFailure.h"
#include "platform/qt/TextBox.h"
#include "platform/qt/Twips.h"
#include "platform/qt/WindowFont.h"
#include "resources/LinkCursor.h"
#include "resources/ProgramIcon.h"
#include "store/MemberPages.h"
#include "store/MemberSession.h"

DiaryWindow::DiaryWindow(MemberSession& module, QWidget* parent, Controls controls)
    : QMainWindow(parent), m_module(module) {
    setObjectName(QStringLiteral("DiaryWindow"));
    setWindowTitle(QStringLiteral("Jotterel"));
    setFont(platform::defaultWindowFont());
    idleWatch = new platform::IdleWatch(kIdleLimit, this);
    connect(idleWatch, &platform::IdleWatch::idle, this, &DiaryWindow::logOffIdleMember);
    if (controls == Controls::Now) {
        makeControls();
    }
}

void DiaryWindow::makeControls() {
    setWindowIcon(resources::programIcon());
    createControls();
    createMenu();
    setTabOrder();
    setGeometry(DiaryGeometry::designTime());
    // A sizable window that starts in the normal state at its designed size: the controls follow
    // whatever size the member gives it (layOutControls).
    resize(platform::twipsToPixelsX(DiaryGeometry::kClientWidth),
           platform::twipsToPixelsY(DiaryGeometry::kClientHeight) + menuBar()->sizeHint().height());
    // Watching before the placement does, so that the controls follow where the placement puts
    // the window once its frame is known.
    new platform::LayoutWatcher(*this, [this] { layOutControls(); });
    // Centred by its outer size, raised a little.
    m_placement = new platform::FramePlacement(*this, [this] { platform::centreByOuterSize(*this, 300); });
    if (m_module.loggedIn()) {
        showMemberInMenu();
    }
    std::vector<std::function<void()>> wiring;
    wiring.swap(m_wiring);
    for (const auto& wire : wiring) {
        wire();
    }
}

void DiaryWindow::whenControlsMade(std::function<void()> wiring) {
    if (controlsMade()) {
        wiring();
    } else {
        m_wiring.push_back(std::move(wiring));
    }
}

DiaryWindow::~DiaryWindow() {
    for (auto& [member, draft] : m_drafts) {
        platform::wipe(draft);
    }
}

void DiaryWindow::createControls() {
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_client);

    const QFont courier = platform::namedFont("Courier New", 9);
    const QFont navigation = platform::namedFont("MS Sans Serif", 8.25, true);

    pageView = new platform::PageView(m_client);
    pageView->setObjectName(QStringLiteral("pageView"));
    pageView->setFont(courier);
    pageView->setAccessibleName(QStringLiteral("Entries of this page"));

    instructionLabel =
        new QLabel(QStringLiteral("Type in your text in the box below and press ENTER to commit:"), m_client);
    instructionLabel->setObjectName(QStringLiteral("instructionLabel"));
    instructionLabel->setFont(platform::namedFont("Times New Roman", 9, false, true));
    QPalette dark = instructionLabel->palette();
    dark.setColor(QPalette::WindowText, QColor(128, 0, 0));
    instructionLabel->setPalette(dark);

    entryBox = new platform::TextBox(m_client);
    entryBox->setObjectName(QStringLiteral("entryBox"));
    entryBox->setFont(courier);
    entryBox->setAccessibleName(QStringLiteral("New entry"));
    instructionLabel->setBuddy(entryBox);

    auto button = [&](QPushButton*& b, const char* name, const char* text, const QFont* font, const char* accessible) {
        b = new QPushButton(QString::fromLatin1(text), m_client);
        b->setObjectName(QString::fromLatin1(name));
        if (font) {
            b->setFont(*font);
        }
        b->setAutoDefault(true); // a button with the focus takes Enter itself
        b->setAccessibleName(QString::fromLatin1(accessible));
    };
    button(firstPageButton, "firstPageButton", "<<", &navigation, "First page");
    button(previousPageButton, "previousPageButton", "<", &navigation, "Previous page");
    button(nextPageButton, "nextPageButton", ">", &navigation, "Next page");
    button(lastPageButton, "lastPageButton", ">>", &navigation, "Last page");
    button(exitButton, "exitButton", "E&xit", nullptr, "Exit");
    button(commitButton, "commitButton", "&Commit", nullptr, "Commit");
    commitButton->setDefault(true);

    pageSelector = new QComboBox(m_client);
    pageSelector->setObjectName(QStringLiteral("pageSelector"));
    pageSelector->setAccessibleName(QStringLiteral("Page"));
    {
        const QSignalBlocker block(pageSelector);
        for (int page = 1; page <= MemberFolder::kPageCount; ++page) {
            pageSelector->addItem(QStringLiteral("Page %1").arg(page));
        }
        pageSelector->setCurrentIndex(-1); // nothing selected until the window loads
    }

    captionLabel = new platform::Label(QStringLiteral("."), m_client);
    captionLabel->setObjectName(QStringLiteral("captionLabel"));
    captionLabel->setTextFormat(Qt::PlainText); // a caption is shown as typed, never as markup
    captionLabel->setFont(platform::namedFont("Comic Sans MS", 9, false, false, true));
    captionLabel->setAlignment(Qt::AlignCenter);
    captionLabel->setAutoFillBackground(true);
    QPalette caption = captionLabel->palette();
    caption.setColor(QPalette::Window, Qt::black);
    caption.setColor(QPalette::WindowText, Qt::yellow);
    captionLabel->setPalette(caption);
    captionLabel->setCursor(resources::linkCursor());
    // A screen reader announces the caption itself, then what the label is for.
    captionLabel->setAccessibleDescription(QStringLiteral("Caption of this page; click to change it"));
    // Labels lie beneath every other control, as the window was designed: in a narrow window the
    // Exit button covers the end of the caption label, not the other way round.
    instructionLabel->lower();
    captionLabel->lower();

    connect(pageSelector, &QComboBox::currentIndexChanged, this, [this] { showSelectedPage(); });
    connect(firstPageButton, &QPushButton::clicked, this, [this] { goToFirstPage(); });
    connect(previousPageButton, &QPushButton::clicked, this, [this] { goToPreviousPage(); });
    connect(nextPageButton, &QPushButton::clicked, this, [this] { goToNextPage(); });
    connect(lastPageButton, &QPushButton::clicked, this, [this] { goToLastPage(); });
    connect(commitButton, &QPushButton::clicked, this, [this] { commitEntry(); });
    connect(exitButton, &QPushButton::clicked, this, [this] { saveCaptionsAndExit(); });
    connect(captionLabel, &platform::Label::clicked, this, [this] { editCaption(); });
}

void DiaryWindow::createMenu() {
    fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    fileMenu->setObjectName(QStringLiteral("fileMenu"));
    auto item = [&](QAction*& a, const char* name, const char* caption, QKeySequence shortcut = {}) {
        a = fileMenu->addAction(QString::fromLatin1(caption));
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(shortcut);
    };
    auto separator = [&](QAction*& a, const char* name) {
        a = fileMenu->addSeparator();
        a->setObjectName(QString::fromLatin1(name));
    };
    item(findAction, "findAction", "Find...", QKeySequence(Qt::CTRL | Qt::Key_F));
    separator(separatorAfterFind, "separatorAfterFind");
    item(logOffAction, "logOffAction", "&Log off", QKeySequence(Qt::CTRL | Qt::Key_L));
    item(changePasswordAction, "changePasswordAction", "&Change password");
    item(protectAction, "protectAction", "&Protect my diary...");
    item(unprotectAction, "unprotectAction", "Un&protect my diary...");
    unprotectAction->setVisible(false);
    separator(separatorAfterPassword, "separatorAfterPassword");
    item(exportThisPageAction, "exportThisPageAction", "&Export this page", QKeySequence(Qt::CTRL | Qt::Key_E));
    item(exportAllPagesAction, "exportAllPagesAction", "Export &all pages");
    separator(separatorAfterExports, "separatorAfterExports");
    item(deleteExportedPagesAction, "deleteExportedPagesAction", "Delete exported pages...");
    separator(separatorAfterDeleteExports, "separatorAfterDeleteExports");
    item(deleteAnItemAction, "deleteAnItemAction", "Delete an item...");
    item(deleteThisPageAction, "deleteThisPageAction", "Delete this page");
    item(deleteAllPagesAction, "deleteAllPagesAction", "Delete all pages");
    item(deleteUserAction, "deleteUserAction", "Delete user User");
    separator(separatorBeforeExit, "separatorBeforeExit");
    item(exitAction, "exitAction", "&Exit");
}

void DiaryWindow::setTabOrder() {
    QWidget* order[] = {entryBox,       firstPageButton, previousPageButton, pageSelector, nextPageButton,
                        lastPageButton, exitButton,      commitButton,       pageView};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        QWidget::setTabOrder(order[i], order[i + 1]);
    }
    // The window opens with the focus first in its tab order. (Qt keeps the page view, made
    // first, at the head of the focus chain; the cycle above is right either way.)
    entryBox->setFocus();
}

void DiaryWindow::setGeometry(const DiaryGeometry& g) {
    m_geometry = g;
    pageView->setGeometry(platform::toPixels(g.pageView));
    instructionLabel->setGeometry(platform::toPixels(g.instructionLabel));
    platform::sizeToText(instructionLabel); // sized to its text from its design-time corner
    entryBox->setGeometry(platform::toPixels(g.entryBox));
    firstPageButton->setGeometry(platform::toPixels(g.firstPageButton));
    previousPageButton->setGeometry(platform::toPixels(g.previousPageButton));
    pageSelector->setGeometry(platform::toPixels(g.pageSelector));
    nextPageButton->setGeometry(platform::toPixels(g.nextPageButton));
    lastPageButton->setGeometry(platform::toPixels(g.lastPageButton));
    captionLabel->setGeometry(platform::toPixels(g.captionLabel));
    exitButton->setGeometry(platform::toPixels(g.exitButton));
    commitButton->setGeometry(platform::toPixels(g.commitButton));
}

void DiaryWindow::load() {
    if (!controlsMade()) {
        // The program's start: the login window before everything else.
        showLoginWindow();
        if (m_ended) {
            return;
        }
        makeControls();
    }
    m_placement->place();
    pageSelector->setCurrentIndex(0);
    if (m_ended) {
        return;
    }
    pageView->selectAll();
}

int DiaryWindow::currentPage() const {
    return pageSelector->currentIndex() + 1;
}

void DiaryWindow::showPage(int page) {
    pageSelector->setCurrentIndex(page - 1);
}

void DiaryWindow::showPageAfresh(int page) {
    if (currentPage() == page) {
        showSelectedPage();
    } else {
        showPage(page);
    }
    entryBox->setFocus();
}

const std::string& DiaryWindow::pageText() const {
    return pageView->text();
}

void DiaryWindow::clearPageView() {
    pageView->setText({});
}

void DiaryWindow::selectWholePage() {
    pageView->selectAll();
}

void DiaryWindow::showFoundText(std::size_t offset, std::size_t length) {
    // A minimised diary comes back so that the member sees the selection. A hidden one cannot
    // take the focus now; the page view gets it when the window shows again.
    if (isVisible()) {
        if (isMinimized()) {
            setWindowState(windowState() & ~Qt::WindowMinimized);
        }
        raise();
        activateWindow();
    }
    pageView->setFocus();
    pageView->select(offset, length);
}

void DiaryWindow::showSelectedPage() {
    if (m_ended || pageSelector->currentIndex() < 0) {
        return;
    }
    if (!m_module.loggedIn()) {
        showLoginWindow();
        if (m_ended || !m_module.loggedIn()) {
            return;
        }
    }
    const int page = currentPage();
    refreshPageView();
    m_module.loadCaptions();
    captionLabel->setText(platform::toQString(m_module.caption(page)));
}

bool DiaryWindow::refreshPageView() {
    try {
        pageView->setText(readMemberPage(m_module, currentPage(), PageFile::Unreadable::Fail).display);
        m_pageShownWhole = true;
    } catch (const std::exception& e) {
        pageView->setText({});
        m_pageShownWhole = false;
        platform::reportFailure("Page " + std::to_string(currentPage()) + " cannot be shown.", e);
    }
    return m_pageShownWhole;
}

void DiaryWindow::goToFirstPage() {
    pageSelector->setCurrentIndex(0);
    entryBox->setFocus();
}

void DiaryWindow::goToPreviousPage() {
    if (pageSelector->currentIndex() != 0) {
        pageSelector->setCurrentIndex(pageSelector->currentIndex() - 1);
    }
    entryBox->setFocus();
}

void DiaryWindow::goToNextPage() {
    if (pageSelector->currentIndex() != MemberFolder::kPageCount - 1) {
        pageSelector->setCurrentIndex(pageSelector->currentIndex() + 1);
    }
    entryBox->setFocus();
}

void DiaryWindow::goToLastPage() {
    pageSelector->setCurrentIndex(pageSelector->count() - 1);
    entryBox->setFocus();
}

void DiaryWindow::showLoginWindow() {
    if (m_loginOpener && !m_ended) {
        m_loginOpener(*this);
    }
}

void DiaryWindow::memberLoggedIn() {
    const std::string& member = m_module.currentMember();
    setWindowTitle(platform::toQString("Jotterel of '" + member + "'"));
    if (controlsMade()) {
        showMemberInMenu();
    }
}

void DiaryWindow::showMemberInMenu() {
    const std::string& member = m_module.currentMember();
    logOffAction->setText(platform::toQString("Log off '" + member + "'"));
    deleteUserAction->setText(platform::toQString("Delete user '" + member + "'"));
    showProtectionChoice();
}

void DiaryWindow::showProtectionChoice() {
    protectAction->setVisible(!m_module.isProtected());
    unprotectAction->setVisible(m_module.isProtected());
}

void DiaryWindow::endSession() {
    m_module.logOff();
    wipeMemberTraces();
    // The caption label shows nobody's caption while nobody is logged in.
    captionLabel->clear();
    setWindowTitle(QStringLiteral("Jotterel"));
    emit memberLoggedOut();
}

void DiaryWindow::logInAgain() {
    showLoginWindow();
    if (m_ended || !m_module.loggedIn()) {
        return;
    }
    showPageAfresh(1);
    putBackDraft();
}

void DiaryWindow::endProgram() {
    if (m_ended) {
        return;
    }
    m_ended = true;
    m_module.logOff(); // another copy may log the member in at once
    wipeMemberTraces();
    for (auto& [member, draft] : m_drafts) {
        platform::wipe(draft);
    }
    m_drafts.clear();
    emit programEnded();
}

void DiaryWindow::wipeMemberTraces() {
    if (controlsMade()) {
        pageView->wipe();
        entryBox->wipe();
    }
    platform::clearOwnedClipboard();
}

void DiaryWindow::keyPressEvent(QKeyEvent* event) {
    // Enter that no control used presses the default button.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && commitButton->isEnabled()) {
        commitButton->click();
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}
