#pragma once
// The time of day as the settings file stores it: the user's long time format,
// built from the regional settings.
#include <windows.h>

#include <string>

namespace pelvane {

struct TimeOfDay {
    int hour = 0;  // 0..23
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    bool operator==(const TimeOfDay& o) const {
        return hour == o.hour && minute == o.minute && second == o.second && millisecond == o.millisecond;
    }
    bool operator!=(const TimeOfDay& o) const { return !(*this == o); }
};

// The local clock's time of day (GetLocalTime).
TimeOfDay CurrentTimeOfDay();

// The regional values that make up the long time format.
struct TimeFormat {
    bool hourLeadingZero = false;        // LOCALE_ITLZERO
    std::string separator = ":";         // LOCALE_STIME
    bool clock24 = true;                 // LOCALE_ITIME
    std::string am = "AM";               // LOCALE_S1159
    std::string pm = "PM";               // LOCALE_S2359
    bool designatorBefore = false;       // LOCALE_ITIMEMARKPOSN
    std::string decimalSeparator = ".";  // LOCALE_SDECIMAL, before milliseconds when reading

    // The values of a locale (the thread's locale by default).
    static TimeFormat FromLocale(LCID locale = GetThreadLocale());

    // Hour, minutes and seconds, never a date or milliseconds.
    std::string Format(const TimeOfDay& time) const;
    // False when the text breaks the rules of the format; time is then unchanged.
    bool Parse(const std::string& text, TimeOfDay& time) const;
};

// The format in use: read from the regional settings at first use, read again
// by ReloadRegionalTimeFormat (call it on WM_SETTINGCHANGE). Tests and other
// sources of the format may set it.
const TimeFormat& RegionalTimeFormat();
void ReloadRegionalTimeFormat();
void SetRegionalTimeFormat(const TimeFormat& format);

}  // namespace pelvane
