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

#include "login/Form2.h"
#include "platform/qt/FontSubstitutes.h"
#include "platform/qt/Label.h"
#include "platform/qt/TextBox.h"
#include "platform/qt/Twips.h"
#include "resources/LinkCursor.h"
#include "resources/ProgramIcon.h"
#include "search/Form3.h"
#include "support/gui/DiaryFixture.h"

namespace {

class WindowResources : public DiaryFixture {
protected:
    void TearDown() override { platform::SetDpiForTesting(0); }

    // The main window of a logged-in member and a find results window of it.
    Form1& OpenDiary() {
        MakeMember("Ann", 110, "pw");
        return DiaryFixture::OpenDiary("Ann", "pw");
    }
};

bool HasBothSizes(const QIcon& icon) {
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
        const QIcon icon = resources::ProgramIcon();
        const auto premultiplied = QImage::Format_ARGB32_Premultiplied;
        EXPECT_EQ(icon.pixmap(QSize(size, size)).toImage().convertToFormat(premultiplied),
                  drawn.convertToFormat(premultiplied));
    }
    EXPECT_TRUE(HasBothSizes(resources::ProgramIcon()));

    const QCursor cursor = resources::LinkCursor();
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
    Form1& main = OpenDiary();
    // No program-wide icon, which the login window would show.
    EXPECT_TRUE(QApplication::windowIcon().isNull());

    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    EXPECT_TRUE(HasBothSizes(main.windowIcon()));
    EXPECT_TRUE(HasBothSizes(main.windowHandle()->icon()));

    Form3 results(main);
    results.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&results));
    EXPECT_TRUE(HasBothSizes(results.windowIcon()));
    EXPECT_TRUE(HasBothSizes(results.windowHandle()->icon()));

    // Owned by the main window, the login window would show its icon unless it had none of its own.
    Form2 login(main);
    login.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&login));
    EXPECT_TRUE(login.windowIcon().isNull());
    EXPECT_TRUE(login.windowHandle()->icon().isNull());
}

TEST_F(WindowResources, CaptionLabelShowsTheLinkCursor) {
    Form1& w = OpenDiary();
    EXPECT_EQ(w.Label2->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(w.Label2->cursor().hotSpot(), resources::kLinkCursorHotSpot);
    EXPECT_EQ(w.Label2->cursor().pixmap().size(), QSize(32, 32));
    // Only over the caption label.
    EXPECT_NE(w.Label1->cursor().shape(), Qt::BitmapCursor);
    EXPECT_NE(w.Text1->viewport()->cursor().shape(), Qt::BitmapCursor);
}

TEST_F(WindowResources, Frames) {
    Form1& main = OpenDiary();
    Form2 login(main);
    Form3 results(main);

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
    Form1& main = OpenDiary();
    Form2 login(main);
    Form3 results(main);
    const QColor none; // the window's own colours
    struct Case {
        QWidget* control;
        const char* face; // nullptr: the window's default face
        double points;
        bool bold, italic, underline;
        QColor text, background;
    };
    const Case cases[] = {
        {main.Text1, "Courier New", 9, false, false, false, none, none},
        {main.Label1, "Times New Roman", 9, false, true, false, QColor(128, 0, 0), none},
        {main.Text2, "Courier New", 9, false, false, false, none, none},
        {main.Command6, "MS Sans Serif", 8.25, true, false, false, none, none},
        {main.Command1, "MS Sans Serif", 8.25, true, false, false, none, none},
        {main.Command2, "MS Sans Serif", 8.25, true, false, false, none, none},
        {main.Command5, "MS Sans Serif", 8.25, true, false, false, none, none},
        {main.Label2, "Comic Sans MS", 9, false, false, true, QColor(255, 255, 0), QColor(0, 0, 0)},
        {main.Combo1, nullptr, 8.25, false, false, false, none, none},
        {main.Command4, nullptr, 8.25, false, false, false, none, none},
        {main.Command3, nullptr, 8.25, false, false, false, none, none},
        {login.Label3, "Arial", 20.25, true, true, false, QColor(192, 0, 0), none},
        {login.Label4, "Times New Roman", 9, false, true, false, QColor(0, 0, 192), none},
        {login.Label5, "Times New Roman", 8.25, false, true, false, QColor(128, 64, 64), none},
        {login.Text1, "Wingdings", 8.25, false, false, false, none, none},
        {login.Label1, nullptr, 8.25, false, false, false, none, none},
        {login.Label2, nullptr, 8.25, false, false, false, none, none},
        {login.Combo1, nullptr, 8.25, false, false, false, none, none},
        {login.Command1, nullptr, 8.25, false, false, false, none, none},
        {login.Frame1, nullptr, 8.25, false, false, false, none, none},
        {results.Text1, "MS Sans Serif", 8.25, true, false, false, none, none},
        {results.List1, nullptr, 8.25, false, false, false, none, none},
        {results.Command1, nullptr, 8.25, false, false, false, none, none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control->window()->objectName().toStdString() + "." + c.control->objectName().toStdString());
        const QFont& f = c.control->font();
        if (c.face) {
            EXPECT_EQ(f.family(), QString::fromLatin1(c.face));
            // Drawn in that face or in one of the same kind that stands in for it.
            const QString drawn = QFontInfo(f).family();
            EXPECT_TRUE(drawn == QLatin1String(c.face) || platform::FontSubstitutes(c.face).contains(drawn))
                << "drawn in " << drawn.toStdString();
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
    EXPECT_TRUE(QFontInfo(main.Text1->font()).fixedPitch());
}

TEST_F(WindowResources, LoginWindowLayoutAtTwoResolutions) {
    struct Placed {
        const char* name;
        double left, top, width, height;
        bool sizedToText;
    };
    const Placed layout[] = {
        {"Frame1", 150, 1470, 4065, 1875, false},   {"Combo1", 1230, 330, 2595, 315, false},
        {"Text1", 1230, 750, 2595, 345, false},     {"Command2", 300, 1290, 1000, 400, false},
        {"Command3", 1530, 1290, 1000, 400, false}, {"Command1", 2760, 1290, 1000, 400, false},
        {"Label2", 330, 360, 720, 195, true},       {"Label1", 330, 870, 690, 195, true},
        {"Label3", 660, 300, 2910, 480, true},      {"Label4", 150, 900, 4110, 585, false},
        {"Label5", 2340, 60, 1965, 210, true},      {"List1", 180, -2000, 3585, 1230, false},
    };
    for (double dpi : {96.0, 144.0}) {
        SCOPED_TRACE(testing::Message() << dpi << " dpi");
        platform::SetDpiForTesting(dpi);
        auto px = [dpi](double twips) { return static_cast<int>(std::lround(twips * dpi / 1440)); };
        Form2& w = OpenLoginWindow();
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
        // The scratch list lies wholly above the client area.
        EXPECT_LT(w.List1->geometry().bottom(), 0);
        // The controls in the frame are its children: their positions count from it.
        EXPECT_EQ(w.Combo1->parentWidget(), w.Frame1);
        EXPECT_EQ(w.Command1->parentWidget(), w.Frame1);

        // The other two windows get their designed client areas at the same resolution.
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        EXPECT_EQ(form->centralWidget()->size(), QSize(px(8370), px(5805)));
        EXPECT_EQ(form->Combo1->geometry(), QRect(px(900), form->Combo1->y(), px(1365), px(315)));
        Form3 results(*form);
        EXPECT_EQ(results.size(), QSize(px(4680), px(3765)));
        EXPECT_EQ(results.Command2->geometry(), QRect(px(210), px(150), px(1275), px(315)));
        EXPECT_EQ(results.Command1->geometry(), QRect(px(1680), px(150), px(1275), px(315)));
        form->hide();
    }
}

TEST_F(WindowResources, ScreenReadersHaveANameForEveryControl) {
    Form1& main = OpenDiary();
    Form2 login(main);
    Form3 results(main);
    // The controls named as designed, not the parts Qt builds them from.
    const QRegularExpression designName(QStringLiteral("^(Text|Label|Command|Combo|List|Frame)\\d$"));
    int named = 0;
    for (QWidget* window :
         {static_cast<QWidget*>(&main), static_cast<QWidget*>(&login), static_cast<QWidget*>(&results)}) {
        for (QWidget* control : window->findChildren<QWidget*>()) {
            if (!designName.match(control->objectName()).hasMatch() || control->window() != window) {
                continue;
            }
            SCOPED_TRACE(window->objectName().toStdString() + "." + control->objectName().toStdString());
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(control);
            ASSERT_NE(a, nullptr);
            EXPECT_FALSE(a->text(QAccessible::Name).trimmed().isEmpty());
            ++named;
        }
    }
    EXPECT_EQ(named, 11 + 12 + 4) << "every control of the three windows was looked at";
    // The caption label announces the caption itself.
    main.Label2->setText(QStringLiteral("Holidays"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(main.Label2)->text(QAccessible::Name), "Holidays");
}

} // namespace
