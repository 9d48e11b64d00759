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

double LogicalDpiX() {
    return screenDpi(true);
}
double LogicalDpiY() {
    return screenDpi(false);
}
void SetDpiForTesting(double dpi) {
    fixedDpi() = dpi;
}

int TwipsToPixelsX(double twips) {
    return static_cast<int>(std::lround(twips * LogicalDpiX() / 1440.0));
}
int TwipsToPixelsY(double twips) {
    return static_cast<int>(std::lround(twips * LogicalDpiY() / 1440.0));
}
double PixelsToTwipsX(int pixels) {
    return pixels * 1440.0 / LogicalDpiX();
}
double PixelsToTwipsY(int pixels) {
    return pixels * 1440.0 / LogicalDpiY();
}

QRect TwipsRect(double left, double top, double width, double height) {
    return QRect(TwipsToPixelsX(left), TwipsToPixelsY(top), TwipsToPixelsX(width), TwipsToPixelsY(height));
}

void CentreOnScreen(QWidget& window, double outerWidth, double outerHeight, double raise) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    const double screenWidth = PixelsToTwipsX(screen->geometry().width());
    const double screenHeight = PixelsToTwipsY(screen->geometry().height());
    window.move(TwipsToPixelsX((screenWidth - outerWidth) / 2),
                TwipsToPixelsY((screenHeight - outerHeight) / 2 - raise));
}

} // namespace platform
