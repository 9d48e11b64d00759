#pragma once

#include <QCursor>
#include <QPoint>

namespace resources {

// The tip of the pointing hand's index finger: the pixel of the cursor that points.
inline constexpr QPoint kLinkCursorHotSpot{5, 0};

// The pointing hand shown over the main window's caption label, which a click edits.
QCursor linkCursor();

} // namespace resources
