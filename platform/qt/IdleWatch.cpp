#include "platform/qt/IdleWatch.h"

#include <QCoreApplication>
#include <QEvent>

namespace platform {
namespace {

// How often the time is looked at: the limit is kept to within this.
constexpr std::chrono::seconds kLookEvery{5};

bool isInput(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::InputMethod:
        return true;
    default:
        return false;
    }
}

} // namespace

IdleWatch::IdleWatch(std::chrono::steady_clock::duration limit, QObject* parent)
    : QObject(parent), m_limit(limit), m_lastInput(now()) {
    // Every window of the program: input anywhere counts.
    QCoreApplication::instance()->installEventFilter(this);
    m_timer.setInterval(kLookEvery);
    connect(&m_timer, &QTimer::timeout, this, &IdleWatch::check);
    m_timer.start();
}

IdleWatch::~IdleWatch() {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        app->removeEventFilter(this);
    }
}

void IdleWatch::setClock(Clock clock) {
    m_clock = std::move(clock);
    restart();
}

void IdleWatch::check() {
    if (now() - m_lastInput >= m_limit) {
        restart();
        emit idle();
    }
}

void IdleWatch::restart() {
    m_lastInput = now();
}

bool IdleWatch::eventFilter(QObject* watched, QEvent* event) {
    if (isInput(event->type())) {
        m_lastInput = now();
    }
    return QObject::eventFilter(watched, event);
}

std::chrono::steady_clock::time_point IdleWatch::now() const {
    return m_clock ? m_clock() : std::chrono::steady_clock::now();
}

} // namespace platform
