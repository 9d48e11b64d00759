#include <QAbstractButton>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "platform/qt/QtDialogs.h"
#include "support/gui/ModalScript.h"
#include "support/gui/QtPrinters.h"

// The window system's message and input boxes behind the program's dialogs: the flags give the
// buttons and the icon, the first button is the default, Esc and the close box give the answer
// that changes nothing, a carriage return starts a new line, and every text is shown as it
// stands, never as markup.
namespace {

enum class Act { ClickFirst, ClickLast, PressEnter, PressEsc, CloseBox };

TEST(MessageBox, FlagsButtonsIconsAndAnswers) {
    using SB = QMessageBox::StandardButton;
    struct Case {
        int flags;
        std::vector<SB> buttons;
        QMessageBox::Icon icon;
        Act act;
        int answer;
    };
    const Case cases[] = {
        {0, {SB::Ok}, QMessageBox::NoIcon, Act::PressEnter, platform::vbOK},
        {0, {SB::Ok}, QMessageBox::NoIcon, Act::PressEsc, platform::vbOK},
        {48, {SB::Ok}, QMessageBox::Warning, Act::CloseBox, platform::vbOK},
        {64, {SB::Ok}, QMessageBox::Information, Act::ClickFirst, platform::vbOK},
        {4, {SB::Yes, SB::No}, QMessageBox::NoIcon, Act::PressEnter, platform::vbYes},
        {52, {SB::Yes, SB::No}, QMessageBox::Warning, Act::ClickLast, platform::vbNo},
        {52, {SB::Yes, SB::No}, QMessageBox::Warning, Act::PressEsc, platform::vbNo},
        {52, {SB::Yes, SB::No}, QMessageBox::Warning, Act::CloseBox, platform::vbNo},
        {51, {SB::Yes, SB::No, SB::Cancel}, QMessageBox::Warning, Act::PressEnter, platform::vbYes},
        {51, {SB::Yes, SB::No, SB::Cancel}, QMessageBox::Warning, Act::PressEsc, platform::vbCancel},
        {51, {SB::Yes, SB::No, SB::Cancel}, QMessageBox::Warning, Act::CloseBox, platform::vbCancel},
    };
    platform::QtDialogs dialogs;
    for (const Case& c : cases) {
        SCOPED_TRACE("flags " + std::to_string(c.flags) + ", act " + std::to_string(static_cast<int>(c.act)));
        ModalScript modals;
        modals.onNext<QMessageBox>([&](QMessageBox& box) {
            EXPECT_EQ(box.icon(), c.icon);
            EXPECT_EQ(box.windowTitle(), "Jotterel");
            std::vector<SB> shown;
            for (QAbstractButton* b : box.buttons()) {
                shown.push_back(box.standardButton(b));
            }
            std::sort(shown.begin(), shown.end());
            std::vector<SB> expected = c.buttons;
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(shown, expected);
            EXPECT_EQ(box.defaultButton(), box.button(c.buttons.front()));
            switch (c.act) {
            case Act::ClickFirst:
                box.button(c.buttons.front())->click();
                break;
            case Act::ClickLast:
                box.button(c.buttons.back())->click();
                break;
            case Act::PressEnter:
                QTest::keyClick(&box, Qt::Key_Return);
                break;
            case Act::PressEsc:
                QTest::keyClick(&box, Qt::Key_Escape);
                break;
            case Act::CloseBox:
                box.close();
                break;
            }
        });
        EXPECT_EQ(dialogs.msgBox("Question", c.flags, "Jotterel"), c.answer);
        EXPECT_EQ(modals.ran(), 1);
    }
}

TEST(MessageBox, TextIsPlainAndACarriageReturnStartsALine) {
    platform::QtDialogs dialogs;
    ModalScript modals;
    modals.onNext<QMessageBox>([](QMessageBox& box) {
        EXPECT_EQ(box.textFormat(), Qt::PlainText);
        EXPECT_EQ(box.text(), QString::fromUtf8("The name '<b>Bob' \xE2\x80\x94 \xD0\x90\xD0\xBD\xD0\xBD\xD0\xB0\n\n"
                                                "second line\nthird"));
        box.button(QMessageBox::Ok)->click();
    });
    dialogs.msgBox("The name '<b>Bob' \xE2\x80\x94 \xD0\x90\xD0\xBD\xD0\xBD\xD0\xB0\r\rsecond line\r\nthird", 48,
                   "Jotterel");

    // The input box: its prompt plain too, and what is typed comes back in any language.
    modals.onNext<QInputDialog>([](QInputDialog& box) {
        for (QLabel* label : box.findChildren<QLabel*>()) {
            EXPECT_EQ(label->textFormat(), Qt::PlainText);
        }
        EXPECT_EQ(box.labelText(), "Enter <i>a</i> name\nhere");
        EXPECT_EQ(box.textValue(), QString::fromUtf8("Zo\xC3\xAB"));
        box.setTextValue(QString::fromUtf8("\xE6\x97\xA5\xE8\xA8\x98 \xF0\x9F\x98\x80"));
        box.accept();
    });
    EXPECT_EQ(dialogs.inputBox("Enter <i>a</i> name\rhere", "Jotterel", "Zo\xC3\xAB"),
              "\xE6\x97\xA5\xE8\xA8\x98 \xF0\x9F\x98\x80");
    // Cancel gives empty text.
    modals.onNext<QInputDialog>([](QInputDialog& box) { box.reject(); });
    EXPECT_EQ(dialogs.inputBox("Prompt", "Jotterel", "x"), "");
}

TEST(MessageBox, APasswordBoxMasksWhatIsTyped) {
    platform::QtDialogs dialogs;
    ModalScript modals;
    modals.onNext<QInputDialog>([](QInputDialog& box) {
        EXPECT_EQ(box.textEchoMode(), QLineEdit::Password);
        EXPECT_EQ(box.windowTitle(), "Jotterel");
        EXPECT_EQ(box.labelText(), "Choose <b>a</b> password\nnow");
        EXPECT_EQ(box.textValue(), "");
        box.setTextValue(QString::fromUtf8("Gr\xC3\xBC\xC3\x9F Gott"));
        box.accept();
    });
    EXPECT_EQ(dialogs.maskedInputBox("Choose <b>a</b> password\rnow", "Jotterel"), "Gr\xC3\xBC\xC3\x9F Gott");
    modals.onNext<QInputDialog>([](QInputDialog& box) {
        EXPECT_EQ(box.textEchoMode(), QLineEdit::Password);
        box.setTextValue("typed, then cancelled");
        box.reject();
    });
    EXPECT_EQ(dialogs.maskedInputBox("Prompt", "Jotterel"), "");
}

} // namespace
