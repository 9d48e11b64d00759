#include "login/LoginWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include "diary/DiaryWindow.h"
#include "login/LoginGeometry.h"
#include "platform/core/Attempt.h"
#include "platform/core/Dialogs.h"
#include "platform/core/Wipe.h"
#include "platform/qt/CentreByOuterSize.h"
#include "platform/qt/FramePlacement.h"
#include "platform/qt/QtText.h"
#include "platform/qt/ReportFailure.h"
#include "platform/qt/Twips.h"
#include "platform/qt/WindowFont.h"
#include "store/MemberList.h"
#include "store/MemberSession.h"

namespace {

// Every typed character of the password shows as the same symbol.
class PasswordMaskStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == QStyle::SH_LineEdit_PasswordCharacter) {
            return 0x2756; // a black diamond with a white cross
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

void colour(QLabel* label, QColor c) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, c);
    label->setPalette(p);
}

} // namespace

LoginWindow::LoginWindow(DiaryWindow& main, Controls controls) : QDialog(&main), m_main(main) {
    setObjectName(QStringLiteral("LoginWindow"));
    setWindowTitle(QString::fromLatin1(kTitle));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(platform::twipsToPixelsX(LoginGeometry::kClientWidth),
                 platform::twipsToPixelsY(LoginGeometry::kClientHeight));
    // No icon: a window without one of its own would show its owner's, the main window's.
    setWindowIcon(QIcon());
    setFont(platform::defaultWindowFont());
    if (controls == Controls::Now) {
        createControls();
    }
    // Centred by its outer size, raised a little.
    m_placement = new platform::FramePlacement(*this, [this] { platform::centreByOuterSize(*this, 300); });
}

void LoginWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!controlsMade() && windowHandle()) {
        // The controls are made when the window system first asks for the window to be drawn,
        // not before: until then it frames and maps the window, and work done here would only
        // hold that back.
        windowHandle()->installEventFilter(this);
        // Should that never come while the window is up, they are made a moment later anyway.
        QTimer::singleShot(kControlsAtLatestMs, this, [this] { makeControlsNowShown(); });
    }
}

bool LoginWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle() && event->type() == QEvent::Expose && windowHandle()->isExposed()) {
        // Made before Qt draws the window for this very event, so that its first frame has them.
        makeControlsNowShown();
    }
    return QDialog::eventFilter(watched, event);
}

void LoginWindow::makeControlsNowShown() {
    if (controlsMade()) {
        return;
    }
    if (windowHandle()) {
        windowHandle()->removeEventFilter(this);
    }
    createControls();
    // Made inside a window already shown, the controls show themselves only when told to.
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        child->show();
    }
    if (m_listDue) {
        listMembers();
    }
    // As a window shown with its controls does: the focus first in the tab order.
    memberSelector->setFocus(Qt::TabFocusReason);
}

void LoginWindow::createControls() {
    const LoginGeometry g = LoginGeometry::designTime();
    auto place = [](QWidget* w, const TwipsRect& r) { w->setGeometry(platform::toPixels(r)); };

    loginFrame = new QGroupBox(QStringLiteral("Member login"), this);
    loginFrame->setObjectName(QStringLiteral("loginFrame"));
    place(loginFrame, g.loginFrame);

    memberSelector = new QComboBox(loginFrame);
    memberSelector->setObjectName(QStringLiteral("memberSelector"));
    memberSelector->setAccessibleName(QStringLiteral("Username"));
    place(memberSelector, g.memberSelector);

    passwordBox = new QLineEdit(loginFrame);
    passwordBox->setObjectName(QStringLiteral("passwordBox"));
    passwordBox->setFont(platform::namedFont("Wingdings", 8.25));
    passwordBox->setEchoMode(QLineEdit::Password);
    passwordBox->setAttribute(Qt::WA_InputMethodEnabled, false);
    auto* mask = new PasswordMaskStyle;
    mask->setParent(passwordBox);
    passwordBox->setStyle(mask);
    passwordBox->setAccessibleName(QStringLiteral("Password"));
    place(passwordBox, g.passwordBox);

    auto button = [&](QPushButton*& b, const char* name, const char* text, const TwipsRect& r) {
        b = new QPushButton(QString::fromLatin1(text), loginFrame);
        b->setObjectName(QString::fromLatin1(name));
        place(b, r);
    };
    button(exitButton, "exitButton", "E&xit", g.exitButton);
    button(addMemberButton, "addMemberButton", "&Add user...", g.addMemberButton);
    button(okButton, "okButton", "&OK", g.okButton);
    exitButton->setAccessibleName(QStringLiteral("Exit"));
    addMemberButton->setAccessibleName(QStringLiteral("Add user"));
    okButton->setAccessibleName(QStringLiteral("OK"));
    okButton->setDefault(true);
    okButton->setEnabled(false);

    memberLabel = new QLabel(QStringLiteral("Username"), loginFrame);
    memberLabel->setObjectName(QStringLiteral("memberLabel"));
    memberLabel->setBuddy(memberSelector);
    place(memberLabel, g.memberLabel);
    platform::sizeToText(memberLabel);

    passwordLabel = new QLabel(QStringLiteral("Password"), loginFrame);
    passwordLabel->setObjectName(QStringLiteral("passwordLabel"));
    passwordLabel->setBuddy(passwordBox);
    place(passwordLabel, g.passwordLabel);
    platform::sizeToText(passwordLabel);

    titleLabel = new QLabel(QStringLiteral("Jotterel"), this);
    titleLabel->setObjectName(QStringLiteral("titleLabel"));
    titleLabel->setFont(platform::namedFont("Arial", 20.25, true, true));
    colour(titleLabel, QColor(192, 0, 0));
    place(titleLabel, g.titleLabel);
    platform::sizeToText(titleLabel);

    descriptionLabel =
        new QLabel(QStringLiteral("With 15 encrypted pages for each member, accessed through member password"), this);
    descriptionLabel->setObjectName(QStringLiteral("descriptionLabel"));
    descriptionLabel->setFont(platform::namedFont("Times New Roman", 9, false, true));
    colour(descriptionLabel, QColor(0, 0, 192));
    descriptionLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    descriptionLabel->setWordWrap(true);
    place(descriptionLabel, g.descriptionLabel);

    contactLabel = new QLabel(platform::toQString(kContactLine), this);
    contactLabel->setObjectName(QStringLiteral("contactLabel"));
    contactLabel->setFont(platform::namedFont("Times New Roman", 8.25, false, true));
    colour(contactLabel, QColor(128, 64, 64));
    place(contactLabel, g.contactLabel);
    platform::sizeToText(contactLabel);

    QWidget::setTabOrder(memberSelector, passwordBox);
    QWidget::setTabOrder(passwordBox, exitButton);
    QWidget::setTabOrder(exitButton, addMemberButton);
    QWidget::setTabOrder(addMemberButton, okButton);

    connect(okButton, &QPushButton::clicked, this, [this] { logIn(); });
    connect(exitButton, &QPushButton::clicked, this, [this] { exitProgram(); });
    connect(addMemberButton, &QPushButton::clicked, this, [this] { addMember(); });
}

void LoginWindow::load() {
    m_placement->place();
    if (controlsMade()) {
        listMembers();
    } else {
        m_listDue = true;
    }
}

void LoginWindow::listMembers() {
    m_listDue = false;
    memberSelector->clear();
    passwordBox->setEnabled(false);
    passwordBox->setText(QStringLiteral("Nobody"));
    // An application folder that cannot be read simply lists nobody.
    std::vector<ListedFolder> folders;
    platform::attempt([&] { folders = listMemberFolders(m_main.session().appPath()); });
    offerFolders(folders);
    for (const ListedFolder& folder : folders) {
        if (folder.member) {
            memberSelector->addItem(platform::toQString(folder.name));
        }
    }
    if (memberSelector->count() > 0) {
        memberSelector->setCurrentIndex(0);
    }
}

void LoginWindow::offerFolders(const std::vector<ListedFolder>& folders) {
    if (!folders.empty()) {
        passwordBox->setEnabled(true);
        okButton->setEnabled(true);
        passwordBox->clear();
    }
}

void LoginWindow::logIn() {
    MemberSession& m = m_main.session();
    const std::string name = platform::fromQString(memberSelector->currentText());
    if (name.empty()) {
        platform::ui().msgBox("Select a username first", platform::vbExclamation, "Error");
        memberSelector->setFocus();
        return;
    }
    std::string typed = platform::fromQString(passwordBox->text());
    const MemberSession::LoginResult result = m.logIn(name, typed);
    platform::wipe(typed); // the session keeps its own copy
    switch (result.outcome) {
    case MemberSession::LoginOutcome::LoggedIn:
        passwordBox->clear();
        m_main.memberLoggedIn();
        m_loggedIn = true;
        accept();
        return;
    case MemberSession::LoginOutcome::WrongPassword:
        platform::ui().msgBox("Incorrect password. Please try again.", platform::vbOKOnly, platform::kAppTitle);
        passwordBox->clear();
        break;
    case MemberSession::LoginOutcome::PasswordFileUnreadable:
        platform::reportFailure("The password file of member '" + name + "' cannot be read, so nobody can log in as '" +
                                    name + "'.",
                                *result.error);
        break;
    case MemberSession::LoginOutcome::FolderUnopenable:
        platform::reportFailure("Nobody was logged in: the folder of member '" + name + "' cannot be opened.",
                                *result.error);
        break;
    case MemberSession::LoginOutcome::LoggedInElsewhere:
        platform::ui().msgBox("'" + name +
                                  "' is logged in to Jotterel in another window. Log off there first, then try again.",
                              platform::vbExclamation, platform::kAppTitle);
        break;
    }
    passwordBox->setFocus();
}

void LoginWindow::exitProgram() {
    m_main.endProgram();
    reject();
}

void LoginWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept(); // there is no cancel button
        return;
    }
    QDialog::keyPressEvent(event);
}

void LoginWindow::closeEvent(QCloseEvent* event) {
    // Closed by the window system without a login: no member can be shown, so the program ends.
    if (!m_loggedIn) {
        m_main.endProgram();
    }
    QDialog::closeEvent(event);
}
