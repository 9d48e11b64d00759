#include "platform/qt/BusyPointer.h"

#include <QWidget>

namespace platform {

BusyPointer::BusyPointer(QWidget& window) : m_window(window) {
    m_window.setCursor(Qt::WaitCursor);
}

BusyPointer::~BusyPointer() {
    m_window.unsetCursor();
}

} // namespace platform
