#pragma once

#include <functional>

namespace platform {

// A moment of local time, to the minute and second.
struct LocalTime {
    int year = 2000; // four digits
    int month = 1;   // 1 to 12
    int day = 1;     // 1 to 31
    int hour = 0;    // 0 to 23
    int minute = 0;  // 0 to 59
    int second = 0;  // 0 to 59
};

// The current local time, from the system clock unless a clock has been installed.
LocalTime now();

// Installs a clock in place of the system's (tests fix the time with it); an empty function
// puts the system clock back.
void setClock(std::function<LocalTime()> clock);

} // namespace platform
