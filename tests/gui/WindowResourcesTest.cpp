#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QWindow>
#include <cmath>
#include <gtest/gtest.h>

#include "login/LoginWindow.h"
#include "platform/qt/FontSubstitutes.h"
#include "platform/qt/Label.h"
#include "platform/qt/PageView.h"
#include "platform/qt/TextBox.h"
#include "platform/qt/Twips.h"
#include "resources/LinkCursor.h"
#include "resources/ProgramIcon.h"
#include "search/FindResultsWindow.h"
#include "support/gui/DiaryFixture.h"

namespace {

class WindowResources : public DiaryFixture {
protected:
    void TearDown() override { platform::setDpiForTesting(0); }

    // The main window of a logged-in member and a find results window of it.
    DiaryWindow& openDiary() {
        makeMember("Ann", 110, "pw");
        return DiaryFixture::openDiary("Ann", "pw");
    }
};

bool hasBothSizes(const QIcon& icon) {
    const QList<QSize> sizes = icon.availableSizes();
    return sizes.contains(QSize(16, 16)) && sizes.contains(QSize(32, 32));
}

TEST(Pictures, IconAtBothSizesAndCursorPointingWithTheFingerTip) {
    for (int size : {16, 32}) {
        SCOPED_TRACE(size);
        const QImage drawn(QStringLiteral(":/icons/jotterel-%1.png").arg(size));
        ASSERT_EQ(drawn.size(), QSize(size, size));
        EXPECT_TRUE(drawn.hasAlphaChannel());
        EXPECT_EQ(drawn.pixelColor(0, 0).alpha(), 0) << "the corners are transparent";
        // The window system gets the drawing of that size, not the other one scaled.
        const QIcon icon = resources::programIcon();
        const auto premultiplied = QImage::Format_ARGB32_Premultiplied;
        EXPECT_EQ(icon.pixmap(QSize(size, size)).toImage().convertToFormat(premultiplied),
                  drawn.convertToFormat(premultiplied));
    }
    EXPECT_TRUE(hasBothSizes(resources::programIcon()));

    const QCursor cursor = resources::linkCursor();
    EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
    EXPECT_EQ(cursor.hotSpot(), QPoint(5, 0));
    const QImage hand = cursor.pixmap().toImage();
    ASSERT_EQ(hand.size(), QSize(32, 32));
    // The hot spot is on the drawn hand, at its top row: the tip of the finger.
    EXPECT_EQ(hand.pixelColor(cursor.hotSpot()).alpha(), 255);
    EXPECT_EQ(hand.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(hand.pixelColor(31, 31).alpha(), 0);
}

TEST_F(WindowResources, MainAndResultsWindowsCarryTheIconLoginWindowNone) {
    DiaryWindow& main = openDiary();
    // No program-wide icon, which the login window would show.
    EXPECT_TRUE(QApplication::windowIcon().isNull());

    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    EXPECT_TRUE(hasBothSizes(main.windowIcon()));
    EXPECT_TRUE(hasBothSizes(main.windowHandle()->icon()));

    FindResultsWindow results(main);
    results.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&results));
    EXPECT_TRUE(hasBothSizes(results.windowIcon()));
    EXPECT_TRUE(hasBothSizes(results.windowHandle()->icon()));

    // Owned by the main window, the login window would show its icon unless it had none of its own.
    LoginWindow login(main);
    login.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&login));
    EXPECT_TRUE(login.windowIcon().isNull());
    EXPECT_TRUE(login.windowHandle()->icon().isNull());
}

TEST_F(WindowResources, CaptionLabelShowsTheLinkCursor) {
    DiaryWindow& w = openDiary();
    EXPECT_EQ(w.captionLabel->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(w.captionLabel->cursor().hotSpot(), resources::kLinkCursorHotSpot);
    EXPECT_EQ(w.captionLabel->cursor().pixmap().size(), QSize(32, 32));
    // Only over the caption label.
    EXPECT_NE(w.instructionLabel->cursor().shape(), Qt::BitmapCursor);
    EXPECT_NE(w.pageView->viewport()->cursor().shape(), Qt::BitmapCursor);
}

TEST_F(WindowResources, Frames) {
    DiaryWindow& main = openDiary();
    LoginWindow login(main);
    FindResultsWindow results(main);

    // The login window: a fixed dialog frame with a close box only.
    EXPECT_EQ(login.windowType(), Qt::Dialog);
    EXPECT_EQ(login.minimumSize(), login.maximumSize());
    EXPECT_EQ(login.size(), login.minimumSize());
    EXPECT_FALSE(login.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(login.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(login.windowFlags() & Qt::WindowCloseButtonHint);

    // The find results window and the main window: sizable, with all three boxes.
    for (QWidget* w : {static_cast<QWidget*>(&results), static_cast<QWidget*>(&main)}) {
        SCOPED_TRACE(w->objectName().toStdString());
        EXPECT_EQ(w->windowType(), Qt::Window);
        EXPECT_EQ(w->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
        EXPECT_TRUE(w->windowFlags() & Qt::WindowMinimizeButtonHint);
        EXPECT_TRUE(w->windowFlags() & Qt::WindowMaximizeButtonHint);
        EXPECT_TRUE(w->windowFlags() & Qt::WindowCloseButtonHint);
    }
    // The main window opens in the normal state.
    main.show();
    EXPECT_EQ(main.windowState(), Qt::WindowNoState);
}

TEST_F(WindowResources, EveryControlHasItsFaceAndColours) {
#ifdef _WIN32
    GTEST_SKIP() << "Not under Wine: it has none of the faces the windows ask for (or their substitutes) and no "
                    "fixed-pitch face, so Qt draws every control in a fallback face";
#endif
    DiaryWindow& main = openDiary();
    LoginWindow login(main);
    FindResultsWindow results(main);
    const QColor none; // the window's own colours
    struct Case {
        QWidget* control;
        const char* face; // nullptr: the window's default face
        double points;
        bool bold, italic, underline;
        QColor text, background;
    };
    const Case cases[] = {
        {main.pageView, "Courier New", 9, false, false, false, none, none},
        {main.instructionLabel, "Times New Roman", 9, false, true, false, QColor(128, 0, 0), none},
        {main.entryBox, "Courier New", 9, false, false, false, none, none},
        {main.firstPageButton, "MS Sans Serif", 8.25, true, false, false, none, none},
        {main.previousPageButton, "MS Sans Serif", 8.25, true, false, false, none, none},
        {main.nextPageButton, "MS Sans Serif", 8.25, true, false, false, none, none},
        {main.lastPageButton, "MS Sans Serif", 8.25, true, false, false, none, none},
        {main.captionLabel, "Comic Sans MS", 9, false, false, true, QColor(255, 255, 0), QColor(0, 0, 0)},
        {main.pageSelector, nullptr, 8.25, false, false, false, none, none},
        {main.exitButton, nullptr, 8.25, false, false, false, none, none},
        {main.commitButton, nullptr, 8.25, false, false, false, none, none},
        {login.titleLabel, "Arial", 20.25, true, true, false, QColor(192, 0, 0), none},
        {login.descriptionLabel, "Times New Roman", 9, false, true, false, QColor(0, 0, 192), none},
        {login.contactLabel, "Times New Roman", 8.25, false, true, false, QColor(128, 64, 64), none},
        {login.passwordBox, "Wingdings", 8.25, false, false, false, none, none},
        {login.passwordLabel, nullptr, 8.25, false, false, false, none, none},
        {login.memberLabel, nullptr, 8.25, false, false, false, none, none},
        {login.memberSelector, nullptr, 8.25, false, false, false, none, none},
        {login.okButton, nullptr, 8.25, false, false, false, none, none},
        {login.loginFrame, nullptr, 8.25, false, false, false, none, none},
        {results.columnHeader, "MS Sans Serif", 8.25, true, false, false, none, none},
        {results.resultList, nullptr, 8.25, false, false, false, none, none},
        {results.openButton, nullptr, 8.25, false, false, false, none, none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control->window()->objectName().toStdString() + "." + c.control->objectName().toStdString());
        const QFont& f = c.control->font();
        if (c.face) {
            // That face, or where it is missing one of the same kind that stands in for it, asked
            // for by its own name and drawn in it.
            EXPECT_TRUE(f.family() == QLatin1String(c.face) || platform::fontSubstitutes(c.face).contains(f.family()))
                << "asks for " << f.family().toStdString();
            EXPECT_EQ(f.family(), platform::installedFace(QString::fromLatin1(c.face)));
            EXPECT_EQ(QFontInfo(f).family(), f.family());
        } else {
            EXPECT_EQ(f.family(), c.control->window()->font().family());
        }
        EXPECT_DOUBLE_EQ(f.pointSizeF(), c.points);
        EXPECT_EQ(f.bold(), c.bold);
        EXPECT_EQ(f.italic(), c.italic);
        EXPECT_EQ(f.underline(), c.underline);
        const QPalette& p = c.control->palette();
        if (c.text.isValid()) {
            EXPECT_EQ(p.color(c.control->foregroundRole()), c.text);
        }
        if (c.background.isValid()) {
            EXPECT_TRUE(c.control->autoFillBackground());
            EXPECT_EQ(p.color(c.control->backgroundRole()), c.background);
        } else if (qobject_cast<QLabel*>(c.control)) {
            EXPECT_FALSE(c.control->autoFillBackground()) << "a label is transparent";
        }
    }
    // The page view lines entries up in columns: its face is monospaced, wherever it comes from.
    EXPECT_TRUE(QFontInfo(main.pageView->font()).fixedPitch());
}

TEST_F(WindowResources, LoginWindowLayoutAtTwoResolutions) {
    struct Placed {
        const char* name;
        double left, top, width, height;
        bool sizedToText;
    };
    const Placed layout[] = {
        {"loginFrame", 150, 1470, 4065, 1875, false},      {"memberSelector", 1230, 330, 2595, 315, false},
        {"passwordBox", 1230, 750, 2595, 345, false},      {"exitButton", 300, 1290, 1000, 400, false},
        {"addMemberButton", 1530, 1290, 1000, 400, false}, {"okButton", 2760, 1290, 1000, 400, false},
        {"memberLabel", 330, 360, 720, 195, true},         {"passwordLabel", 330, 870, 690, 195, true},
        {"titleLabel", 660, 300, 2910, 480, true},         {"descriptionLabel", 150, 900, 4110, 585, false},
        {"contactLabel", 2340, 60, 1965, 210, true},
    };
    for (double dpi : {96.0, 144.0}) {
        SCOPED_TRACE(testing::Message() << dpi << " dpi");
        platform::setDpiForTesting(dpi);
        auto px = [dpi](double twips) { return static_cast<int>(std::lround(twips * dpi / 1440)); };
        LoginWindow& w = openLoginWindow();
        EXPECT_EQ(w.size(), QSize(px(4320), px(3450)));
        for (const Placed& p : layout) {
            SCOPED_TRACE(p.name);
            const QWidget* control = w.findChild<QWidget*>(QString::fromLatin1(p.name));
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(control->pos(), QPoint(px(p.left), px(p.top)));
            if (!p.sizedToText) {
                EXPECT_EQ(control->size(), QSize(px(p.width), px(p.height)));
            }
        }
        // Nothing lies out of sight.
        for (const QWidget* control : w.findChildren<QWidget*>()) {
            EXPECT_GE(control->geometry().bottom(), 0) << control->objectName().toStdString();
        }
        // The controls in the frame are its children: their positions count from it.
        EXPECT_EQ(w.memberSelector->parentWidget(), w.loginFrame);
        EXPECT_EQ(w.okButton->parentWidget(), w.loginFrame);

        // The other two windows get their designed client areas at the same resolution.
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        EXPECT_EQ(form->centralWidget()->size(), QSize(px(8370), px(5805)));
        EXPECT_EQ(form->pageSelector->geometry(), QRect(px(900), form->pageSelector->y(), px(1365), px(315)));
        FindResultsWindow results(*form);
        EXPECT_EQ(results.size(), QSize(px(4680), px(3765)));
        EXPECT_EQ(results.closeButton->geometry(), QRect(px(210), px(150), px(1275), px(315)));
        EXPECT_EQ(results.openButton->geometry(), QRect(px(1680), px(150), px(1275), px(315)));
        form->hide();
    }
}

TEST_F(WindowResources, ScreenReadersHaveANameForEveryControl) {
    DiaryWindow& main = openDiary();
    LoginWindow login(main);
    FindResultsWindow results(main);
    // The windows' own controls, not the parts Qt builds them from.
    const QStringList controls = {
        "pageView",     "instructionLabel", "entryBox",       "firstPageButton",  "previousPageButton",
        "pageSelector", "nextPageButton",   "lastPageButton", "captionLabel",     "exitButton",
        "commitButton", "titleLabel",       "contactLabel",   "descriptionLabel", "loginFrame",
        "memberLabel",  "memberSelector",   "passwordLabel",  "passwordBox",      "addMemberButton",
        "okButton",     "closeButton",      "columnHeader",   "openButton",       "resultList"};
    int named = 0;
    for (QWidget* window :
         {static_cast<QWidget*>(&main), static_cast<QWidget*>(&login), static_cast<QWidget*>(&results)}) {
        for (QWidget* control : window->findChildren<QWidget*>()) {
            if (!controls.contains(control->objectName()) || control->window() != window) {
                continue;
            }
            SCOPED_TRACE(window->objectName().toStdString() + "." + control->objectName().toStdString());
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(control);
            ASSERT_NE(a, nullptr);
            EXPECT_FALSE(a->text(QAccessible::Name).trimmed().isEmpty());
            ++named;
        }
    }
    EXPECT_EQ(named, 11 + 11 + 4) << "every control of the three windows was looked at";
    // The caption label announces the caption itself.
    main.captionLabel->setText(QStringLiteral("Holidays"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(main.captionLabel)->text(QAccessible::Name), "Holidays");
}

} // namespace
