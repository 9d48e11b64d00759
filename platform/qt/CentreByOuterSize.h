#pragma once

class QWidget;

namespace platform {

// Moves a window so that its outer box (frame and title bar included, see WindowFrame.h) is
// centred on the screen, then raised by raise twips.
void centreByOuterSize(QWidget& window, double raise = 0);

} // namespace platform
