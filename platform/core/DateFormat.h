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

const LocaleNames& SystemLocaleNames();

// Replaces the names read from the system (tests fix them); nullptr reads the system again.
void SetLocaleNames(const LocaleNames* names);

// "DDMMMYY": 01Mar05.
std::string FormatDDMMMYY(const LocalTime& t);
// "HH:MMAMPM": 12:30AM, 09:05PM.
std::string FormatHHMMAMPM(const LocalTime& t);
// "d mmm yyyy": 7 Dec 2026.
std::string FormatDMmmYyyy(const LocalTime& t);
// "h:mm AMPM": 9:05 PM.
std::string FormatHMmAmPm(const LocalTime& t);

// The stamp a committed or masked entry carries: " (" DDMMMYY ", " HH:MMAMPM ")".
std::string EntryStamp(const LocalTime& t);

} // namespace platform
