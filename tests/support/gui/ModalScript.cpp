#include "support/gui/ModalScript.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

ModalScript::ModalScript() = default;

ModalScript::~ModalScript() {
    if (!m_steps.empty()) {
        ADD_FAILURE() << m_steps.size() << " modal step(s) never ran: no modal window was opened for them";
    }
}

void ModalScript::push(std::function<void(QWidget&)> step) {
    m_steps.push_back(std::move(step));
    scheduleNext();
}

void ModalScript::scheduleNext() {
    if (m_scheduled || m_steps.empty()) {
        return;
    }
    m_scheduled = true;
    // The timer belongs to this object: it dies with the test and never fires in another one.
    QTimer::singleShot(0, this, [this] { runNext(); });
}

void ModalScript::runNext() {
    m_scheduled = false;
    QPointer<QWidget> modal;
    const bool up = QTest::qWaitFor(
        [&] {
            modal = QApplication::activeModalWidget();
            // Up once it can be seen: the program's login window makes its controls then.
            return modal && modal->isVisible() && modal->windowHandle() && modal->windowHandle()->isExposed();
        },
        kTimeoutMs);
    auto step = std::move(m_steps.front());
    m_steps.pop_front();
    if (!up) {
        ADD_FAILURE() << "no modal window came up within " << kTimeoutMs << " ms";
    } else {
        ++m_ran;
        step(*modal);
        // A button pressed through its access key clicks a moment later.
        (void)QTest::qWaitFor([&] { return !modal || !modal->isVisible(); }, kCloseMs);
        if (modal && modal->isVisible()) {
            ADD_FAILURE() << "the modal window " << modal->objectName().toStdString()
                          << " is still open after its step; closing it";
            modal->close();
        }
    }
    scheduleNext();
}
