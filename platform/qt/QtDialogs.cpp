#include "platform/qt/QtDialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "platform/qt/QtText.h"

namespace platform {
namespace {

// A carriage return alone, or with its line feed, starts a new line in a box.
QString boxText(const std::string& text) {
    QString s = toQString(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

QWidget* ownerWindow() {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    return QApplication::activeWindow();
}

struct ButtonChoice {
    QMessageBox::StandardButton button;
    int result;
};

std::vector<ButtonChoice> buttonsFor(int flags) {
    switch (flags & 7) {
    case 1:
        return {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}};
    case 2:
        return {{QMessageBox::Abort, 3}, {QMessageBox::Retry, 4}, {QMessageBox::Ignore, 5}};
    case 3:
        return {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}};
    case 4:
        return {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}};
    case 5:
        return {{QMessageBox::Retry, 4}, {QMessageBox::Cancel, vbCancel}};
    default:
        return {{QMessageBox::Ok, vbOK}};
    }
}

QMessageBox::Icon iconFor(int flags) {
    switch (flags & 0x70) {
    case 16:
        return QMessageBox::Critical;
    case 32:
        return QMessageBox::Question;
    case 48:
        return QMessageBox::Warning;
    case 64:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

int QtDialogs::msgBox(const std::string& text, int flags, const std::string& title) {
    QMessageBox box(iconFor(flags), toQString(title), boxText(text), QMessageBox::NoButton, ownerWindow());
    // A name or an entry in a message is shown as typed, never taken for markup.
    box.setTextFormat(Qt::PlainText);
    const std::vector<ButtonChoice> choices = buttonsFor(flags);
    for (const ButtonChoice& choice : choices) {
        box.addButton(choice.button);
    }
    // The first button is the default unless the flags name the second or third.
    const std::size_t defaultIndex =
        std::min<std::size_t>(static_cast<std::size_t>((flags >> 8) & 3), choices.size() - 1);
    box.setDefaultButton(choices[defaultIndex].button);
    box.exec();
    const QAbstractButton* clicked = box.clickedButton();
    for (const ButtonChoice& choice : choices) {
        if (clicked == box.button(choice.button)) {
            return choice.result;
        }
    }
    // Closed without a button: the answer that changes nothing.
    for (const ButtonChoice& choice : choices) {
        if (choice.result == vbCancel || choice.result == vbNo) {
            return choice.result;
        }
    }
    return choices.front().result;
}

namespace {

std::string askForText(const std::string& prompt, const std::string& title, const std::string& defaultText,
                       QLineEdit::EchoMode echo) {
    QInputDialog dialog(ownerWindow());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextEchoMode(echo);
    dialog.setWindowTitle(toQString(title));
    dialog.setLabelText(boxText(prompt));
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        label->setTextFormat(Qt::PlainText);
    }
    dialog.setTextValue(toQString(defaultText));
    if (dialog.exec() != QDialog::Accepted) {
        dialog.setTextValue(QString());
        return {};
    }
    std::string text = fromQString(dialog.textValue());
    // What Qt keeps of a password is let go with the box; the caller wipes its own copy.
    dialog.setTextValue(QString());
    return text;
}

} // namespace

std::string QtDialogs::inputBox(const std::string& prompt, const std::string& title, const std::string& defaultText) {
    return askForText(prompt, title, defaultText, QLineEdit::Normal);
}

std::string QtDialogs::maskedInputBox(const std::string& prompt, const std::string& title) {
    return askForText(prompt, title, {}, QLineEdit::Password);
}

void QtDialogs::beep() {
    QApplication::beep();
}

} // namespace platform
