#pragma once

#include <QMargins>
#include <QSize>

class QWidget;

// The frame and title bar the window system puts round a top-level window. It is known only
// once the window is shown, and often only a moment later; a window placed or laid out before
// that takes the frame of another window of the program, which the window system frames alike.
namespace platform {

// The window's own frame once it has one; before that the frame of a framed window of the
// program, or the last frame seen; no frame before any window was framed.
QMargins windowFrame(const QWidget& window);

// True once the window system has framed the window itself.
bool hasOwnFrame(const QWidget& window);

// The window's outer size: its own size and windowFrame().
QSize outerSize(const QWidget& window);

} // namespace platform
