#pragma once

#include <string>

#include "platform/core/Clock.h"

namespace platform {

// The month abbreviations and the before-noon and after-noon designators of the system's
// regional settings, in Windows-1252; English where the settings give none.
struct LocaleNames {
    std::string months[12];
    std::string am;
    std::string pm;
};

const LocaleNames& systemLocaleNames();

// Replaces the names read from the system (tests fix them); nullptr reads the system again.
void setLocaleNames(const LocaleNames* names);

// "DDMMMYY": 01Mar05.
std::string formatDDMMMYY(const LocalTime& t);
// "HH:MMAMPM": 12:30AM, 09:05PM.
std::string formatHHMMAMPM(const LocalTime& t);
// "d mmm yyyy": 7 Dec 2026.
std::string formatDMmmYyyy(const LocalTime& t);
// "h:mm AMPM": 9:05 PM.
std::string formatHMmAmPm(const LocalTime& t);

// The stamp a committed or masked entry carries: " (" DDMMMYY ", " HH:MMAMPM ")".
std::string entryStamp(const LocalTime& t);

} // namespace platform
