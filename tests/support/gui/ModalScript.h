#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <deque>
#include <functional>
#include <gtest/gtest.h>

// Drives real modal windows from inside their modal loops, as a user would. Each step waits
// until the next modal window is up, then runs on it; the step is expected to end the window
// (press OK, close it). A window that never comes, or one still open when its step returns,
// fails the test and is closed, so a failing test cannot hang in a modal loop. Steps left over
// when the script goes away fail the test too.
class ModalScript : public QObject {
public:
    ModalScript();
    ~ModalScript() override;

    // Runs step on the next modal window, which must be a W.
    template <typename W>
    void onNext(std::function<void(W&)> step) {
        push([step = std::move(step)](QWidget& modal) {
            if (W* w = qobject_cast<W*>(&modal)) {
                step(*w);
            } else {
                ADD_FAILURE_AT(__FILE__, __LINE__)
                    << "the modal window is a " << modal.metaObject()->className() << ", not the one expected";
            }
        });
    }

    // How many steps have run.
    int ran() const { return m_ran; }

    static constexpr int kTimeoutMs = 5000; // for a modal window to come up
    static constexpr int kCloseMs = 1000;   // for it to close after its step

private:
    void push(std::function<void(QWidget&)> step);
    void scheduleNext();
    void runNext();

    std::deque<std::function<void(QWidget&)>> m_steps;
    bool m_scheduled = false;
    int m_ran = 0;
};
