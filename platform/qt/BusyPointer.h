#pragma once

class QWidget;

namespace platform {

// The busy pointer over a window while a command works; the default pointer is back when the
// guard goes, however the command ends.
class BusyPointer {
public:
    explicit BusyPointer(QWidget& window);
    ~BusyPointer();
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    QWidget& m_window;
};

} // namespace platform
