#pragma once

#include <QIcon>

namespace resources {

// The program icon, an open book seen from above, drawn at 16 and 32 pixels: the window system
// takes the size it shows (the title bar, the taskbar, the window switcher) without scaling.
QIcon programIcon();

} // namespace resources
