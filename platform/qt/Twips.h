#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include "platform/core/TwipsRect.h"

class QWidget;

// Window geometry is designed in twips (1440 to the inch); the screen's logical resolution
// turns it into pixels, so windows keep their proportions at any DPI.
namespace platform {

// Logical dots per inch of the primary screen, or the value fixed for tests.
double logicalDpiX();
double logicalDpiY();

// Fixes the resolution (tests); 0 reads the screen again.
void setDpiForTesting(double dpi);

int twipsToPixelsX(double twips);
int twipsToPixelsY(double twips);
double pixelsToTwipsX(int pixels);
double pixelsToTwipsY(int pixels);

// The pixels of a rectangle in twips.
QRect toPixels(const TwipsRect& r);

// Moves a window so that its outer box, outerWidth by outerHeight twips, is centred on the
// screen, then raised by raise twips. Nothing happens without a screen.
void centreOnScreen(QWidget& window, double outerWidth, double outerHeight, double raise = 0);

} // namespace platform
