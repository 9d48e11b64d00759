#include "diary/DiaryLayout.h"
#include "diary/DiaryWindow.h"
#include "platform/qt/Twips.h"
#include "platform/qt/WindowFrame.h"

void DiaryWindow::layOutControls() {
    // The outer size: the window system's frame and title bar, and the menu bar inside. Before
    // the window system has framed the window, the frame of another window stands in for its own.
    const QSize outer = platform::outerSize(*this);
    setGeometry(diaryLayout(platform::pixelsToTwipsX(outer.width()), platform::pixelsToTwipsY(outer.height()),
                            twipsGeometry()));
}
