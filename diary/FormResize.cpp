#include <QMoveEvent>
#include <QResizeEvent>
#include <QShowEvent>

#include "diary/Form1.h"
#include "diary/Form1Layout.h"
#include "platform/qt/Twips.h"

void Form1::Form_Resize() {
    // The outer size: the window system's frame and title bar, and the menu bar inside.
    const QSize outer = frameGeometry().size();
    m_laidOutFor = outer;
    SetGeometry(
        Form1Layout(platform::PixelsToTwipsX(outer.width()), platform::PixelsToTwipsY(outer.height()), Geometry()));
}

void Form1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void Form1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    Form_Resize();
}

void Form1::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    // The window system may add its frame only after the window is shown, which moves the
    // window without resizing it; the outer size has changed all the same.
    if (isVisible() && frameGeometry().size() != m_laidOutFor) {
        Form_Resize();
    }
}
