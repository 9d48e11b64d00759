#include "platform/qt/WindowFrame.h"

#include <QApplication>
#include <QWidget>

namespace platform {
namespace {

QMargins& lastFrameSeen() {
    static QMargins frame;
    return frame;
}

QMargins ownFrame(const QWidget& window) {
    if (!window.isVisible()) {
        return {};
    }
    const QRect outer = window.frameGeometry();
    const QRect inner = window.geometry();
    const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                         outer.bottom() - inner.bottom());
    if (!frame.isNull()) {
        lastFrameSeen() = frame;
    }
    return frame;
}

} // namespace

bool hasOwnFrame(const QWidget& window) {
    return !ownFrame(window).isNull();
}

QMargins windowFrame(const QWidget& window) {
    if (const QMargins own = ownFrame(window); !own.isNull()) {
        return own;
    }
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (other != &window && other->windowType() != Qt::Popup && other->windowType() != Qt::ToolTip) {
            if (const QMargins frame = ownFrame(*other); !frame.isNull()) {
                return frame;
            }
        }
    }
    return lastFrameSeen();
}

QSize outerSize(const QWidget& window) {
    const QMargins frame = windowFrame(window);
    return window.size().grownBy(frame);
}

} // namespace platform
