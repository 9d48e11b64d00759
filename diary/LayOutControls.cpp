#include <QMoveEvent>
#include <QResizeEvent>
#include <QShowEvent>

#include "diary/DiaryLayout.h"
#include "diary/DiaryWindow.h"
#include "platform/qt/Twips.h"
#include "platform/qt/WindowFrame.h"

void DiaryWindow::layOutControls() {
    // The outer size: the window system's frame and title bar, and the menu bar inside. Before
    // the window system has framed the window, the frame of another window stands in for its own.
    const QSize outer = platform::outerSize(*this);
    m_laidOutFor = outer;
    setGeometry(diaryLayout(platform::pixelsToTwipsX(outer.width()), platform::pixelsToTwipsY(outer.height()),
                            twipsGeometry()));
}

void DiaryWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    layOutControls();
}

void DiaryWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    layOutControls();
}

void DiaryWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    // The window system may add its frame only after the window is shown, which moves the
    // window without resizing it; the outer size has changed all the same.
    if (isVisible() && platform::outerSize(*this) != m_laidOutFor) {
        layOutControls();
    }
}
