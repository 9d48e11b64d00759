#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>

namespace platform {

// Tells when nobody has used the keyboard or the mouse in any of the program's windows for a
// given time. It watches every input event the application receives and looks at the time
// every few seconds; tests give it a clock of their own and look themselves.
class IdleWatch : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    IdleWatch(std::chrono::steady_clock::duration limit, QObject* parent = nullptr);
    ~IdleWatch() override;

    // The clock the time without input is measured by; nullptr gives the system's back. The
    // time counts afresh from the new clock's present.
    void setClock(Clock clock);
    // Emits idle() when the limit has passed since the last input, and counts afresh.
    void check();
    // Counts afresh from now, as an input does.
    void restart();

signals:
    void idle();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::chrono::steady_clock::time_point now() const;

    std::chrono::steady_clock::duration m_limit;
    Clock m_clock;
    std::chrono::steady_clock::time_point m_lastInput;
    QTimer m_timer;
};

} // namespace platform
