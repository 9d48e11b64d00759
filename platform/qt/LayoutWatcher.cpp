#include "platform/qt/LayoutWatcher.h"

#include <QEvent>
#include <QWidget>

#include "platform/qt/WindowFrame.h"

namespace platform {

LayoutWatcher::LayoutWatcher(QWidget& window, std::function<void()> layOut)
    : QObject(&window), m_window(window), m_layOut(std::move(layOut)) {
    window.installEventFilter(this);
}

void LayoutWatcher::layOut() {
    // Before the window system has framed the window, the frame of another window stands in.
    m_laidOutFor = outerSize(m_window);
    m_layOut();
}

bool LayoutWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_window) {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Resize:
            layOut();
            break;
        case QEvent::Move:
            if (m_window.isVisible() && outerSize(m_window) != m_laidOutFor) {
                layOut();
            }
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace platform
