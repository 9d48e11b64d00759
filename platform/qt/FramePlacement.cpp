#include "platform/qt/FramePlacement.h"

#include <QEvent>
#include <QWidget>

#include "platform/qt/WindowFrame.h"

namespace platform {

FramePlacement::FramePlacement(QWidget& window, std::function<void()> place)
    : QObject(&window), m_window(window), m_place(std::move(place)) {
    window.installEventFilter(this);
}

void FramePlacement::place() {
    m_placing = true;
    m_placedFor = windowFrame(m_window);
    m_place();
    m_placing = false;
    m_pending = !hasOwnFrame(m_window);
}

bool FramePlacement::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == &m_window && m_pending && !m_placing &&
        (type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize) && m_window.isVisible() &&
        hasOwnFrame(m_window)) {
        // The frame has arrived: the placement holds if it was made for this frame.
        if (windowFrame(m_window) != m_placedFor) {
            place();
        }
        m_pending = false;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace platform
