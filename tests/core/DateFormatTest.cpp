#include <gtest/gtest.h>

#include "platform/core/DateFormat.h"
#include "support/core/EnglishRegionalSettings.h"

namespace {

TEST(DateFormat, Patterns) {
    struct Case {
        platform::LocalTime t;
        const char* ddmmmyy;
        const char* hhmmampm;
        const char* dmmmyyyy;
        const char* hmmampm;
    };
    const Case cases[] = {
        {{2005, 3, 1, 0, 30, 0}, "01Mar05", "12:30AM", "1 Mar 2005", "12:30 AM"},
        {{2026, 12, 7, 21, 5, 0}, "07Dec26", "09:05PM", "7 Dec 2026", "9:05 PM"},
        {{2000, 1, 31, 12, 0, 59}, "31Jan00", "12:00PM", "31 Jan 2000", "12:00 PM"},
        {{2099, 7, 4, 11, 59, 0}, "04Jul99", "11:59AM", "4 Jul 2099", "11:59 AM"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::formatDDMMMYY(c.t), c.ddmmmyy);
        EXPECT_EQ(platform::formatHHMMAMPM(c.t), c.hhmmampm);
        EXPECT_EQ(platform::formatDMmmYyyy(c.t), c.dmmmyyyy);
        EXPECT_EQ(platform::formatHMmAmPm(c.t), c.hmmampm);
    }
    EXPECT_EQ(platform::entryStamp({2026, 12, 7, 21, 5, 0}), " (07Dec26, 09:05PM)");
}

TEST(DateFormat, RegionalNamesAndInjectedClock) {
    platform::LocaleNames german;
    const char* months[12] = {"Jan", "Feb", "M\xC3\xA4r", "Apr", "Mai", "Jun",
                              "Jul", "Aug", "Sep",        "Okt", "Nov", "Dez"};
    for (int i = 0; i < 12; ++i) {
        german.months[i] = months[i];
    }
    german.am = "vorm.";
    german.pm = "nachm.";
    platform::setLocaleNames(&german);
    EXPECT_EQ(platform::formatDDMMMYY({2005, 3, 1, 9, 0, 0}), "01M\xC3\xA4r05");
    EXPECT_EQ(platform::formatHHMMAMPM({2005, 3, 1, 21, 7, 0}), "09:07nachm.");
    EnglishRegionalSettings::use();

    platform::setClock([] { return platform::LocalTime{2026, 12, 7, 21, 5, 0}; });
    EXPECT_EQ(platform::now().hour, 21);
    platform::setClock(nullptr);
}

} // namespace
