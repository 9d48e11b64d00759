#include "platform/core/DateFormat.h"

#include <cstdio>
#include <optional>

#include "platform/core/Cp1252.h"

#if defined(_WIN32)
#include <windows.h>
#elif defined(__unix__) || defined(__APPLE__)
#include <langinfo.h>
#include <locale.h>
#endif

namespace platform {
namespace {

const char* const kEnglishMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

LocaleNames englishNames() {
    LocaleNames names;
    for (int i = 0; i < 12; ++i) {
        names.months[i] = kEnglishMonths[i];
    }
    names.am = "AM";
    names.pm = "PM";
    return names;
}

#ifdef _WIN32
// A name from the user's regional settings, in UTF-8; empty when there is none.
std::string localeText(LCTYPE what) {
    wchar_t text[80];
    const int n = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, what, text, 80);
    if (n <= 1) {
        return {};
    }
    char out[320];
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text, n - 1, out, sizeof out, nullptr, nullptr);
    return bytes > 0 ? std::string(out, static_cast<std::size_t>(bytes)) : std::string();
}
#endif

LocaleNames readSystemNames() {
    LocaleNames names = englishNames();
#if defined(_WIN32)
    for (int i = 0; i < 12; ++i) {
        if (const std::string m = localeText(static_cast<LCTYPE>(LOCALE_SABBREVMONTHNAME1 + i)); !m.empty()) {
            names.months[i] = m;
        }
    }
    const std::string am = localeText(LOCALE_S1159);
    const std::string pm = localeText(LOCALE_S2359);
    if (!am.empty() && !pm.empty()) {
        names.am = am;
        names.pm = pm;
    }
#elif defined(__unix__) || defined(__APPLE__)
    // The regional settings are the environment's, whatever the process locale is now.
    locale_t loc = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (loc == static_cast<locale_t>(nullptr)) {
        return names;
    }
    const std::string codeset = nl_langinfo_l(CODESET, loc);
    const bool utf8 = codeset == "UTF-8" || codeset == "utf8";
    // The program's text is UTF-8; a locale of another encoding is taken as Latin text.
    auto toAnsi = [&](const char* s) { return utf8 ? std::string(s) : cp1252ToUtf8(s); };
    for (int i = 0; i < 12; ++i) {
        const std::string m = toAnsi(nl_langinfo_l(static_cast<nl_item>(ABMON_1 + i), loc));
        if (!m.empty()) {
            names.months[i] = m;
        }
    }
    const std::string am = toAnsi(nl_langinfo_l(AM_STR, loc));
    const std::string pm = toAnsi(nl_langinfo_l(PM_STR, loc));
    if (!am.empty() && !pm.empty()) {
        names.am = am;
        names.pm = pm;
    }
    freelocale(loc);
#endif
    return names;
}

std::optional<LocaleNames>& overrideNames() {
    static std::optional<LocaleNames> names;
    return names;
}

std::string twoDigits(int n) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", n % 100);
    return buf;
}

int hour12(int hour) {
    const int h = hour % 12;
    return h == 0 ? 12 : h;
}

const std::string& designator(int hour) {
    const LocaleNames& names = systemLocaleNames();
    return hour < 12 ? names.am : names.pm;
}

const std::string& month(int m) {
    return systemLocaleNames().months[(m >= 1 && m <= 12) ? m - 1 : 0];
}

} // namespace

const LocaleNames& systemLocaleNames() {
    if (overrideNames()) {
        return *overrideNames();
    }
    static const LocaleNames system = readSystemNames();
    return system;
}

void setLocaleNames(const LocaleNames* names) {
    if (names) {
        overrideNames() = *names;
    } else {
        overrideNames().reset();
    }
}

std::string formatDDMMMYY(const LocalTime& t) {
    return twoDigits(t.day) + month(t.month) + twoDigits(t.year);
}

std::string formatHHMMAMPM(const LocalTime& t) {
    return twoDigits(hour12(t.hour)) + ":" + twoDigits(t.minute) + designator(t.hour);
}

std::string formatDMmmYyyy(const LocalTime& t) {
    return std::to_string(t.day) + " " + month(t.month) + " " + std::to_string(t.year);
}

std::string formatHMmAmPm(const LocalTime& t) {
    return std::to_string(hour12(t.hour)) + ":" + twoDigits(t.minute) + " " + designator(t.hour);
}

std::string entryStamp(const LocalTime& t) {
    return " (" + formatDDMMMYY(t) + ", " + formatHHMMAMPM(t) + ")";
}

} // namespace platform
