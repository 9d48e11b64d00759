#include "diary/Form1.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>

#include "platform/core/Attempt.h"
#include "platform/core/Dialogs.h"
#include "platform/core/FileError.h"
#include "platform/qt/Ansi.h"
#include "platform/qt/Label.h"
#include "platform/qt/TextBox.h"
#include "platform/qt/Twips.h"
#include "platform/qt/WindowFont.h"
#include "resources/LinkCursor.h"
#include "resources/ProgramIcon.h"
#include "store/Module1.h"

namespace {

QRect pixels(const TwipsRect& r) {
    return platform::TwipsRect(r.left, r.top, r.width, r.height);
}

} // namespace

Form1::Form1(Module1& module, QWidget* parent) : QMainWindow(parent), m_module(module) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Jotterel"));
    setWindowIcon(resources::ProgramIcon());
    setFont(platform::DefaultWindowFont());
    createControls();
    createMenu();
    setTabOrder();
    SetGeometry(Form1Geometry::DesignTime());
    // A sizable window that starts in the normal state at its designed size: the controls follow
    // whatever size the member gives it (Form_Resize).
    resize(platform::TwipsToPixelsX(Form1Geometry::kClientWidth),
           platform::TwipsToPixelsY(Form1Geometry::kClientHeight) + menuBar()->sizeHint().height());
}

Form1::~Form1() = default;

void Form1::createControls() {
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_client);

    const QFont courier = platform::NamedFont("Courier New", 9);
    const QFont navigation = platform::NamedFont("MS Sans Serif", 8.25, true);

    Text1 = new platform::TextBox(m_client);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setFont(courier);
    Text1->SetLocked(true);
    Text1->setAccessibleName(QStringLiteral("Entries of this page"));

    Label1 = new QLabel(QStringLiteral("Type in your text in the box below and press ENTER to commit:"), m_client);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(platform::NamedFont("Times New Roman", 9, false, true));
    QPalette dark = Label1->palette();
    dark.setColor(QPalette::WindowText, QColor(128, 0, 0));
    Label1->setPalette(dark);

    Text2 = new platform::TextBox(m_client);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setFont(courier);
    Text2->setAccessibleName(QStringLiteral("New entry"));
    Label1->setBuddy(Text2);

    auto button = [&](QPushButton*& b, const char* name, const char* text, const QFont* font, const char* accessible) {
        b = new QPushButton(QString::fromLatin1(text), m_client);
        b->setObjectName(QString::fromLatin1(name));
        if (font) {
            b->setFont(*font);
        }
        b->setAutoDefault(true); // a button with the focus takes Enter itself
        b->setAccessibleName(QString::fromLatin1(accessible));
    };
    button(Command6, "Command6", "<<", &navigation, "First page");
    button(Command1, "Command1", "<", &navigation, "Previous page");
    button(Command2, "Command2", ">", &navigation, "Next page");
    button(Command5, "Command5", ">>", &navigation, "Last page");
    button(Command4, "Command4", "E&xit", nullptr, "Exit");
    button(Command3, "Command3", "&Commit", nullptr, "Commit");
    Command3->setDefault(true);

    Combo1 = new QComboBox(m_client);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setAccessibleName(QStringLiteral("Page"));
    {
        const QSignalBlocker block(Combo1);
        for (int page = 1; page <= Module1::kPageCount; ++page) {
            Combo1->addItem(QStringLiteral("Page %1").arg(page));
        }
        Combo1->setCurrentIndex(-1); // nothing selected until the window loads
    }

    Label2 = new platform::Label(QStringLiteral("."), m_client);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setTextFormat(Qt::PlainText); // a caption is shown as typed, never as markup
    Label2->setFont(platform::NamedFont("Comic Sans MS", 9, false, false, true));
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setAutoFillBackground(true);
    QPalette caption = Label2->palette();
    caption.setColor(QPalette::Window, Qt::black);
    caption.setColor(QPalette::WindowText, Qt::yellow);
    Label2->setPalette(caption);
    Label2->setCursor(resources::LinkCursor());
    // A screen reader announces the caption itself, then what the label is for.
    Label2->setAccessibleDescription(QStringLiteral("Caption of this page; click to change it"));
    // Labels lie beneath every other control, as the window was designed: in a narrow window the
    // Exit button covers the end of the caption label, not the other way round.
    Label1->lower();
    Label2->lower();

    connect(Combo1, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(); });
    connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(Label2, &platform::Label::Click, this, [this] { Label2_Click(); });
}

void Form1::createMenu() {
    mnuFile1 = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile1->setObjectName(QStringLiteral("mnuFile1"));
    auto item = [&](QAction*& a, const char* name, const char* caption, QKeySequence shortcut = {}) {
        a = mnuFile1->addAction(QString::fromLatin1(caption));
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(shortcut);
    };
    auto separator = [&](QAction*& a, const char* name) {
        a = mnuFile1->addSeparator();
        a->setObjectName(QString::fromLatin1(name));
    };
    item(mnuFind, "mnuFind", "Find...", QKeySequence(Qt::CTRL | Qt::Key_F));
    separator(line4, "line4");
    item(mnuLogoff, "mnuLogoff", "&Log off", QKeySequence(Qt::CTRL | Qt::Key_L));
    item(mnuPasswd, "mnuPasswd", "&Change password");
    separator(line1, "line1");
    item(mnuExportPage, "mnuExportPage", "&Export this page", QKeySequence(Qt::CTRL | Qt::Key_E));
    item(mnuExportAll, "mnuExportAll", "Export &all pages");
    separator(line2, "line2");
    item(mnuDelExports, "mnuDelExports", "Delete exported pages...");
    separator(line5, "line5");
    item(mnuDeleteItem, "mnuDeleteItem", "Delete an item...");
    item(mnuDelPage, "mnuDelPage", "Delete this page");
    item(mnuDelAll, "mnuDelAll", "Delete all pages");
    item(mnuDelUser, "mnuDelUser", "Delete user User");
    separator(line3, "line3");
    item(mnuExit2, "mnuExit2", "&Exit");
}

void Form1::setTabOrder() {
    QWidget* order[] = {Text2, Command6, Command1, Combo1, Command2, Command5, Command4, Command3, Text1};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        QWidget::setTabOrder(order[i], order[i + 1]);
    }
    // The window opens with the focus first in its tab order. (Qt keeps the page view, made
    // first, at the head of the focus chain; the cycle above is right either way.)
    Text2->setFocus();
}

void Form1::SetGeometry(const Form1Geometry& g) {
    m_geometry = g;
    Text1->setGeometry(pixels(g.Text1));
    Label1->setGeometry(pixels(g.Label1));
    platform::SizeToText(Label1); // sized to its text from its design-time corner
    Text2->setGeometry(pixels(g.Text2));
    Command6->setGeometry(pixels(g.Command6));
    Command1->setGeometry(pixels(g.Command1));
    Combo1->setGeometry(pixels(g.Combo1));
    Command2->setGeometry(pixels(g.Command2));
    Command5->setGeometry(pixels(g.Command5));
    Label2->setGeometry(pixels(g.Label2));
    Command4->setGeometry(pixels(g.Command4));
    Command3->setGeometry(pixels(g.Command3));
}

void Form1::Form_Load() {
    platform::Attempt([&] {
        platform::CentreOnScreen(*this, platform::PixelsToTwipsX(frameGeometry().width()),
                                 platform::PixelsToTwipsY(frameGeometry().height()), 300);
    });
    platform::Attempt([&] { Combo1->setCurrentIndex(0); });
    if (m_ended) {
        return;
    }
    platform::Attempt([&] { Text1->SelectAll(); });
}

int Form1::CurrentPage() const {
    return Combo1->currentIndex() + 1;
}

void Form1::Combo1_Click() {
    if (m_ended || Combo1->currentIndex() < 0) {
        return;
    }
    if (!m_module.LoggedIn()) {
        ShowLoginWindow();
        if (m_ended || !m_module.LoggedIn()) {
            return;
        }
    }
    const int page = CurrentPage();
    RefreshPageView();
    m_module.LoadCaptions();
    Label2->setText(platform::ToQString(m_module.Caption(page)));
}

bool Form1::RefreshPageView() {
    try {
        Text1->SetText(m_module.ReadPage(m_module.PageFilePath(CurrentPage())));
        m_pageShownWhole = true;
    } catch (const std::exception& e) {
        Text1->SetText({});
        m_pageShownWhole = false;
        if (!m_pageErrorsQuiet) {
            ReportFailure("Page " + std::to_string(CurrentPage()) + " cannot be shown.", e);
        }
    }
    return m_pageShownWhole;
}

void Form1::Command6_Click() {
    platform::Attempt([&] { Combo1->setCurrentIndex(0); });
    Text2->setFocus();
}

void Form1::Command1_Click() {
    platform::Attempt([&] {
        if (Combo1->currentIndex() != 0) {
            Combo1->setCurrentIndex(Combo1->currentIndex() - 1);
        }
    });
    Text2->setFocus();
}

void Form1::Command2_Click() {
    platform::Attempt([&] {
        if (Combo1->currentIndex() != 14) {
            Combo1->setCurrentIndex(Combo1->currentIndex() + 1);
        }
    });
    Text2->setFocus();
}

void Form1::Command5_Click() {
    platform::Attempt([&] { Combo1->setCurrentIndex(Combo1->count() - 1); });
    Text2->setFocus();
}

void Form1::ShowLoginWindow() {
    if (m_loginOpener && !m_ended) {
        m_loginOpener(*this);
    }
}

void Form1::MemberLoggedIn() {
    const std::string& member = m_module.CurrentUser();
    setWindowTitle(platform::ToQString("Jotterel of '" + member + "'"));
    mnuLogoff->setText(platform::ToQString("Log off '" + member + "'"));
    mnuDelUser->setText(platform::ToQString("Delete user '" + member + "'"));
}

void Form1::EndSession() {
    m_module.LogOff();
    Text1->SetText({});
    Text2->SetText({});
    // The caption label shows nobody's caption while nobody is logged in.
    Label2->clear();
    setWindowTitle(QStringLiteral("Jotterel"));
    emit memberLoggedOut();
}

void Form1::LogInAgain() {
    ShowLoginWindow();
    if (m_ended || !m_module.LoggedIn()) {
        return;
    }
    // Whatever page was shown, one of the two presses changes the page selector, so the page
    // view reads the new member's pages and ends on page 1.
    Command5->click();
    Command6->click();
}

void Form1::EndProgram() {
    if (m_ended) {
        return;
    }
    m_ended = true;
    m_module.LogOff(); // another copy may log the member in at once
    emit programEnded();
}

void Form1::SetBusyPointer(bool busy) {
    if (busy) {
        setCursor(Qt::WaitCursor);
    } else {
        unsetCursor();
    }
}

void Form1::ReportFailure(const std::string& what, const std::exception& error) {
    std::string text = what;
    if (const auto* fileError = dynamic_cast<const platform::FileError*>(&error)) {
        text += "\r\r" + fileError->path() + "\r" + fileError->reason();
    } else {
        text += std::string("\r\r") + error.what();
    }
    platform::Ui().MsgBox(text, platform::vbExclamation, platform::kAppTitle);
}

void Form1::keyPressEvent(QKeyEvent* event) {
    // Enter that no control used presses the default button.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && Command3->isEnabled()) {
        Command3->click();
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}
