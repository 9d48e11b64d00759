#include "platform/qt/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace platform {
namespace {

double& fixedDpi() {
    static double dpi = 0;
    return dpi;
}

double screenDpi(bool horizontal) {
    if (fixedDpi() > 0) {
        return fixedDpi();
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return 96.0;
    }
    return horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
}

} // namespace

double logicalDpiX() {
    return screenDpi(true);
}
double logicalDpiY() {
    return screenDpi(false);
}
void setDpiForTesting(double dpi) {
    fixedDpi() = dpi;
}

int twipsToPixelsX(double twips) {
    return static_cast<int>(std::lround(twips * logicalDpiX() / 1440.0));
}
int twipsToPixelsY(double twips) {
    return static_cast<int>(std::lround(twips * logicalDpiY() / 1440.0));
}
double pixelsToTwipsX(int pixels) {
    return pixels * 1440.0 / logicalDpiX();
}
double pixelsToTwipsY(int pixels) {
    return pixels * 1440.0 / logicalDpiY();
}

QRect toPixels(const TwipsRect& r) {
    return QRect(twipsToPixelsX(r.left), twipsToPixelsY(r.top), twipsToPixelsX(r.width), twipsToPixelsY(r.height));
}

void centreOnScreen(QWidget& window, double outerWidth, double outerHeight, double raise) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    const double screenWidth = pixelsToTwipsX(screen->geometry().width());
    const double screenHeight = pixelsToTwipsY(screen->geometry().height());
    window.move(twipsToPixelsX((screenWidth - outerWidth) / 2),
                twipsToPixelsY((screenHeight - outerHeight) / 2 - raise));
}

} // namespace platform
