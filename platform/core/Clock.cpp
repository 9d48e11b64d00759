#include "platform/core/Clock.h"

#include <ctime>
#include <utility>

namespace platform {
namespace {

std::function<LocalTime()>& installedClock() {
    static std::function<LocalTime()> clock;
    return clock;
}

} // namespace

LocalTime now() {
    if (installedClock()) {
        return installedClock()();
    }
    const std::time_t t = std::time(nullptr);
    std::tm parts{};
#ifdef _WIN32
    localtime_s(&parts, &t);
#else
    localtime_r(&t, &parts);
#endif
    return LocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec};
}

void setClock(std::function<LocalTime()> clock) {
    installedClock() = std::move(clock);
}

} // namespace platform
