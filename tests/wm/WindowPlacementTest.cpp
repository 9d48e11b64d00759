#include <QGuiApplication>
#include <QLineEdit>
#include <QListView>
#include <QScreen>
#include <QTest>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "diary/DiaryWindow.h"
#include "login/LoginWindow.h"
#include "search/FindResultsWindow.h"
#include "store/MemberSession.h"
#include "support/core/MemberFixture.h"
#include "support/core/TempFolder.h"
#include "support/gui/QtPrinters.h"
#include "support/gui/ScriptedDialogs.h"
#include "wm/WindowManagerDisplay.h"

namespace {

// The rules in pixels, from the screen and its logical resolution.
double twipsX(double twips) {
    return twips * QGuiApplication::primaryScreen()->logicalDotsPerInchX() / 1440.0;
}
double twipsY(double twips) {
    return twips * QGuiApplication::primaryScreen()->logicalDotsPerInchY() / 1440.0;
}

// Where the outer frame of a window belongs: centred on the screen, raised by raise twips.
QPointF centred(const QRect& outer, double raise) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    return {(screen.width() - outer.width()) / 2.0, (screen.height() - outer.height()) / 2.0 - twipsY(raise)};
}

bool framed(const QWidget& w) {
    return w.isVisible() && w.frameGeometry() != w.geometry();
}

// Where a window's frame stood when the window system first framed it.
class FirstFrame : public QObject {
public:
    explicit FirstFrame(QWidget& w) : m_window(w) { w.installEventFilter(this); }
    const QRect& seen() const { return m_seen; }
    bool eventFilter(QObject*, QEvent*) override {
        if (m_seen.isNull() && framed(m_window)) {
            m_seen = m_window.frameGeometry();
        }
        return false;
    }

private:
    QWidget& m_window;
    QRect m_seen;
};

// Waits until the window is framed and its frame stands where it belongs (or a few seconds
// have passed), then a moment more for anything that would still move it.
void waitUntilPlaced(const QWidget& w, double raise) {
    (void)QTest::qWaitFor(
        [&] {
            const QPointF at = centred(w.frameGeometry(), raise);
            return framed(w) && std::abs(w.frameGeometry().left() - at.x()) <= 1 &&
                   std::abs(w.frameGeometry().top() - at.y()) <= 1;
        },
        5000);
    QTest::qWait(150);
}

// The window's outer frame is centred, raised by raise twips, and stood there from the moment it
// was framed: nothing jumped.
void expectPlaced(const QWidget& w, const FirstFrame& first, double raise) {
    ASSERT_TRUE(framed(w)) << "the window manager did not frame the window";
    const QRect outer = w.frameGeometry();
    const QPointF at = centred(outer, raise);
    EXPECT_NEAR(outer.left(), at.x(), 1) << "outer " << outer.width() << " x " << outer.height();
    EXPECT_NEAR(outer.top(), at.y(), 1) << "outer " << outer.width() << " x " << outer.height();
    EXPECT_EQ(first.seen(), outer) << "the window moved after it was framed";
}

class WindowPlacement : public ::testing::Test {
protected:
    void SetUp() override {
        if (!WindowManagerDisplay::skipReason().empty()) {
            GTEST_SKIP() << WindowManagerDisplay::skipReason();
        }
        fixture::makeMember(app.path(), "Ann", 110, "pw");
        form = std::make_unique<DiaryWindow>(module);
    }

    // The diary as the program shows it after Ann has logged in.
    void showDiary() {
        ASSERT_EQ(module.logIn("Ann", "pw").outcome, MemberSession::LoginOutcome::LoggedIn);
        form->memberLoggedIn();
        const FirstFrame first(*form);
        form->load();
        form->show();
        waitUntilPlaced(*form, 300);
        expectPlaced(*form, first, 300);
    }

    TempFolder app;
    MemberSession module{app.path()};
    ScriptedDialogs ui;
    std::unique_ptr<DiaryWindow> form;
};

// The first window of a run: no window has been framed before it.
TEST_F(WindowPlacement, LoginWindowIsCentredByItsOuterFrameAndRaised) {
    LoginWindow login(*form);
    const FirstFrame first(login);
    login.load();
    login.show();
    waitUntilPlaced(login, 300);
    expectPlaced(login, first, 300);
}

TEST_F(WindowPlacement, MainWindowIsCentredByItsOuterFrameAndRaised) {
    showDiary();
}

// As the program starts: the login window makes its controls once it is on screen, the main
// window makes its controls after the login.
TEST_F(WindowPlacement, WindowsMakingTheirControlsLaterArePlacedAlike) {
    {
        LoginWindow login(*form, LoginWindow::Controls::OnceShown);
        const FirstFrame first(login);
        login.load();
        login.show();
        waitUntilPlaced(login, 300);
        expectPlaced(login, first, 300);
        EXPECT_TRUE(login.controlsMade());
    }
    form = std::make_unique<DiaryWindow>(module, nullptr, DiaryWindow::Controls::AfterLogin);
    showDiary();
    EXPECT_TRUE(form->controlsMade());
}

TEST_F(WindowPlacement, FindResultsWindowIsCentredAndItsListFillsItFromTheFirstPaint) {
    showDiary();
    auto* results = new FindResultsWindow(*form);
    // What the member sees first: the list as it is when first painted.
    QRect firstPainted;
    struct FirstPaint : QObject {
        std::function<void()> seen;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint && seen) {
                seen();
                seen = nullptr;
            }
            return false;
        }
    } firstPaint;
    firstPaint.seen = [&] { firstPainted = results->resultList->geometry(); };
    results->resultList->viewport()->installEventFilter(&firstPaint);
    const FirstFrame first(*results);
    results->load();
    results->show();
    waitUntilPlaced(*results, 0);
    expectPlaced(*results, first, 0);

    const QRect outer = results->frameGeometry();
    EXPECT_NEAR(outer.width(), 0.75 * form->frameGeometry().width(), 1);
    EXPECT_NEAR(results->height(), twipsY(FindResultsGeometry::kClientHeight), 1);
    EXPECT_NEAR(results->columnHeader->width(), outer.width() - twipsX(600), 1);
    EXPECT_NEAR(results->resultList->width(), outer.width() - twipsX(600), 1);
    EXPECT_NEAR(results->resultList->height(), outer.height() - twipsY(1500), 1);
    // The list was painted first as it is now: no band to fill once the frame was known.
    ASSERT_FALSE(firstPainted.isNull()) << "the list was never painted";
    EXPECT_EQ(firstPainted, results->resultList->geometry());
    results->resultList->viewport()->removeEventFilter(&firstPaint);
    delete results;
}

} // namespace
