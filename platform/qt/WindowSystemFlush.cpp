#include "platform/qt/WindowSystemFlush.h"

#include <QGuiApplication>

#ifdef JOTTEREL_X11_FRAMES
#include <xcb/xcb.h>
#endif

namespace platform {

void flushWindowSystem() {
#ifdef JOTTEREL_X11_FRAMES
    if (qGuiApp && QGuiApplication::platformName() == QLatin1String("xcb")) {
        if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
            xcb_flush(x11->connection());
        }
    }
#endif
}

} // namespace platform
