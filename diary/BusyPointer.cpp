#include "diary/BusyPointer.h"

#include <QWidget>

BusyPointer::BusyPointer(QWidget& window) : m_window(window) {
    m_window.setCursor(Qt::WaitCursor);
}

BusyPointer::~BusyPointer() {
    m_window.unsetCursor();
}
