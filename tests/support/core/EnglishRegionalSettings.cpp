#include "support/core/EnglishRegionalSettings.h"

#include "platform/core/DateFormat.h"

void EnglishRegionalSettings::use() {
    static const platform::LocaleNames english = [] {
        platform::LocaleNames names;
        const char* const months[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        for (int i = 0; i < 12; ++i) {
            names.months[i] = months[i];
        }
        names.am = "AM";
        names.pm = "PM";
        return names;
    }();
    platform::setLocaleNames(&english);
}
