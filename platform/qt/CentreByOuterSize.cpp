#include "platform/qt/CentreByOuterSize.h"

#include <QWidget>

#include "platform/qt/Twips.h"
#include "platform/qt/WindowFrame.h"

namespace platform {

void centreByOuterSize(QWidget& window, double raise) {
    const QSize outer = outerSize(window);
    centreOnScreen(window, pixelsToTwipsX(outer.width()), pixelsToTwipsY(outer.height()), raise);
}

} // namespace platform
