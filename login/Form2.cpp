#include "login/Form2.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProxyStyle>
#include <QPushButton>

#include "diary/Form1.h"
#include "platform/core/Attempt.h"
#include "platform/core/Dialogs.h"
#include "platform/core/FileSystem.h"
#include "platform/qt/Ansi.h"
#include "platform/qt/Twips.h"
#include "platform/qt/WindowFont.h"
#include "store/Module1.h"

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

Form2::Form2(Form1& main) : QDialog(&main), m_main(main) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QString::fromLatin1(kTitle));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(platform::TwipsToPixelsX(4320), platform::TwipsToPixelsY(3450));
    // No icon: a window without one of its own would show its owner's, the main window's.
    setWindowIcon(QIcon());
    setFont(platform::DefaultWindowFont());
    createControls();
}

void Form2::createControls() {
    auto place = [](QWidget* w, double left, double top, double width, double height) {
        w->setGeometry(platform::TwipsRect(left, top, width, height));
    };

    Frame1 = new QGroupBox(QStringLiteral("Member login"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    place(Frame1, 150, 1470, 4065, 1875);

    Combo1 = new QComboBox(Frame1);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setAccessibleName(QStringLiteral("Username"));
    place(Combo1, 1230, 330, 2595, 315);

    Text1 = new QLineEdit(Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setFont(platform::NamedFont("Wingdings", 8.25));
    Text1->setEchoMode(QLineEdit::Password);
    Text1->setAttribute(Qt::WA_InputMethodEnabled, false);
    auto* mask = new PasswordMaskStyle;
    mask->setParent(Text1);
    Text1->setStyle(mask);
    Text1->setAccessibleName(QStringLiteral("Password"));
    place(Text1, 1230, 750, 2595, 345);

    auto button = [&](QPushButton*& b, const char* name, const char* text, double left) {
        b = new QPushButton(QString::fromLatin1(text), Frame1);
        b->setObjectName(QString::fromLatin1(name));
        place(b, left, 1290, 1000, 400);
    };
    button(Command2, "Command2", "E&xit", 300);
    button(Command3, "Command3", "&Add user...", 1530);
    button(Command1, "Command1", "&OK", 2760);
    Command2->setAccessibleName(QStringLiteral("Exit"));
    Command3->setAccessibleName(QStringLiteral("Add user"));
    Command1->setAccessibleName(QStringLiteral("OK"));
    Command1->setDefault(true);
    Command1->setEnabled(false);

    Label2 = new QLabel(QStringLiteral("Username"), Frame1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setBuddy(Combo1);
    place(Label2, 330, 360, 720, 195);
    platform::SizeToText(Label2);

    Label1 = new QLabel(QStringLiteral("Password"), Frame1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setBuddy(Text1);
    place(Label1, 330, 870, 690, 195);
    platform::SizeToText(Label1);

    Label3 = new QLabel(QStringLiteral("Jotterel"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setFont(platform::NamedFont("Arial", 20.25, true, true));
    colour(Label3, QColor(192, 0, 0));
    place(Label3, 660, 300, 2910, 480);
    platform::SizeToText(Label3);

    Label4 =
        new QLabel(QStringLiteral("With 15 encrypted pages for each member, accessed through member password"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setFont(platform::NamedFont("Times New Roman", 9, false, true));
    colour(Label4, QColor(0, 0, 192));
    Label4->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label4->setWordWrap(true);
    place(Label4, 150, 900, 4110, 585);

    Label5 = new QLabel(platform::ToQString(kContactLine), this);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setFont(platform::NamedFont("Times New Roman", 8.25, false, true));
    colour(Label5, QColor(128, 64, 64));
    place(Label5, 2340, 60, 1965, 210);
    platform::SizeToText(Label5);

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    place(List1, 180, -2000, 3585, 1230);
    List1->setFocusPolicy(Qt::NoFocus);
    List1->setAccessibleName(QStringLiteral("Member folders"));

    QWidget::setTabOrder(Combo1, Text1);
    QWidget::setTabOrder(Text1, Command2);
    QWidget::setTabOrder(Command2, Command3);
    QWidget::setTabOrder(Command3, Command1);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
}

void Form2::Form_Load() {
    Module1& m = m_main.module();
    platform::Attempt([&] {
        platform::CentreOnScreen(*this, platform::PixelsToTwipsX(frameGeometry().width()),
                                 platform::PixelsToTwipsY(frameGeometry().height()), 300);
    });
    List1->clear();
    Combo1->clear();
    Text1->setEnabled(false);
    Text1->setText(QStringLiteral("Nobody"));
    platform::Attempt([&] {
        for (const platform::FolderEntry& entry : platform::ListFolder(m.AppPath, "*.*", true)) {
            if (entry.isFolder && !entry.name.empty()) {
                Text1->setEnabled(true);
                Command1->setEnabled(true);
                Text1->clear();
                List1->addItem(platform::ToQString(entry.name));
            }
        }
    });
    for (int i = 0; i < List1->count(); ++i) {
        const std::string name = platform::FromQString(List1->item(i)->text());
        if (platform::PathExists(m.MemberFile(name, Module1::kPasswordFile))) {
            Combo1->addItem(List1->item(i)->text());
        }
    }
    if (Combo1->count() > 0) {
        Combo1->setCurrentIndex(0);
    }
}

void Form2::Command1_Click() {
    Module1& m = m_main.module();
    const std::string typed = platform::FromQString(Text1->text());
    const std::string name = platform::FromQString(Combo1->currentText());
    if (name.empty()) {
        platform::Ui().MsgBox("Select a username first", platform::vbExclamation, "Error");
        Combo1->setFocus();
        return;
    }
    const Module1::LoginResult result = m.LogIn(name, typed);
    switch (result.outcome) {
    case Module1::LoginOutcome::LoggedIn:
        m_main.MemberLoggedIn();
        m_loggedIn = true;
        accept();
        return;
    case Module1::LoginOutcome::WrongPassword:
        platform::Ui().MsgBox("Incorrect password. Please try again.", platform::vbOKOnly, platform::kAppTitle);
        Text1->clear();
        break;
    case Module1::LoginOutcome::PasswordFileUnreadable:
        Form1::ReportFailure("The password file of member '" + name + "' cannot be read, so nobody can log in as '" +
                                 name + "'.",
                             *result.error);
        break;
    case Module1::LoginOutcome::FolderUnopenable:
        Form1::ReportFailure("Nobody was logged in: the folder of member '" + name + "' cannot be opened.",
                             *result.error);
        break;
    case Module1::LoginOutcome::LoggedInElsewhere:
        platform::Ui().MsgBox("'" + name +
                                  "' is logged in to Jotterel in another window. Log off there first, then try again.",
                              platform::vbExclamation, platform::kAppTitle);
        break;
    }
    Text1->setFocus();
}

void Form2::Command2_Click() {
    m_main.EndProgram();
    reject();
}

void Form2::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept(); // there is no cancel button
        return;
    }
    QDialog::keyPressEvent(event);
}

void Form2::closeEvent(QCloseEvent* event) {
    // Closed by the window system without a login: no member can be shown, so the program ends.
    if (!m_loggedIn) {
        m_main.EndProgram();
    }
    QDialog::closeEvent(event);
}
