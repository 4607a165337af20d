#include "engine/VersionName.h"

#include <cstdio>
#include <cstring>
#include <tuple>

#include "common/Paths.h"

namespace pelvane {
namespace {

constexpr long long kSecondsPerDay = 24 * 60 * 60;

bool LeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && LeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 0001-01-01 to the given date.
long long DayNumber(int year, int month, int day) {
    const long long y = year - 1;
    long long days = y * 365 + y / 4 - y / 100 + y / 400;
    for (int m = 1; m < month && m <= 12; ++m) days += DaysInMonth(year, m);
    return days + day - 1;
}

// Exactly count ASCII digits from text[at]; nothing else counts as one.
template <typename C>
bool ReadDigits(const std::basic_string<C>& text, size_t at, size_t count, int& value) {
    if (at + count > text.size()) return false;
    value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (text[i] < C('0') || text[i] > C('9')) return false;
        value = value * 10 + (text[i] - C('0'));
    }
    return true;
}

// " (yyyy-mm-dd hhmmss)": what a version name adds to the copy's stem.
constexpr size_t kStampLength = 20;

bool ParseStamp(const std::wstring& text, size_t at, LocalTime& t) {
    if (at + kStampLength > text.size()) return false;
    auto is = [&](size_t offset, wchar_t c) { return text[at + offset] == c; };
    if (!is(0, L' ') || !is(1, L'(') || !is(6, L'-') || !is(9, L'-') || !is(12, L' ') || !is(19, L')'))
        return false;
    int hms = 0;
    if (!ReadDigits(text, at + 2, 4, t.year) || !ReadDigits(text, at + 7, 2, t.month) ||
        !ReadDigits(text, at + 10, 2, t.day) || !ReadDigits(text, at + 13, 6, hms))
        return false;
    t.hour = hms / 10000;
    t.minute = hms / 100 % 100;
    t.second = hms % 100;
    return t.Valid();
}

}  // namespace

LocalTime LocalTime::From(const SYSTEMTIME& st) {
    return LocalTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

bool LocalTime::Valid() const {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonth(year, month) && hour >= 0 && hour < 24 && minute >= 0 && minute < 60 &&
           second >= 0 && second < 60;
}

long long LocalTime::Seconds() const {
    return DayNumber(year, month, day) * kSecondsPerDay + hour * 3600LL + minute * 60LL + second;
}

bool operator==(const LocalTime& a, const LocalTime& b) {
    return std::tie(a.year, a.month, a.day, a.hour, a.minute, a.second) ==
           std::tie(b.year, b.month, b.day, b.hour, b.minute, b.second);
}

bool operator!=(const LocalTime& a, const LocalTime& b) {
    return !(a == b);
}

bool operator<(const LocalTime& a, const LocalTime& b) {
    return std::tie(a.year, a.month, a.day, a.hour, a.minute, a.second) <
           std::tie(b.year, b.month, b.day, b.hour, b.minute, b.second);
}

std::wstring VersionFileName(const std::wstring& fileName, const LocalTime& replaced) {
    const std::wstring ext = ExtractFileExt(fileName);
    char stamp[32];
    snprintf(stamp, sizeof stamp, " (%04d-%02d-%02d %02d%02d%02d)", replaced.year, replaced.month,
             replaced.day, replaced.hour, replaced.minute, replaced.second);
    return fileName.substr(0, fileName.size() - ext.size()) + std::wstring(stamp, stamp + strlen(stamp)) +
           ext;
}

// The stamp holds no point, so the version's last point is the one that
// began the copy's extension; a name without one had no extension.
std::optional<ParsedVersionName> ParseVersionFileName(const std::wstring& versionName) {
    const size_t point = versionName.rfind(L'.');
    const size_t stemEnd = point == std::wstring::npos ? versionName.size() : point;
    if (stemEnd < kStampLength) return std::nullopt;
    ParsedVersionName parsed;
    if (!ParseStamp(versionName, stemEnd - kStampLength, parsed.replaced)) return std::nullopt;
    parsed.fileName = versionName.substr(0, stemEnd - kStampLength) + versionName.substr(stemEnd);
    if (parsed.fileName.empty()) return std::nullopt;
    return parsed;
}

RestoreChoice ChooseRestoreSource(const std::optional<LocalTime>& copy,
                                  const std::vector<LocalTime>& versions,
                                  const std::optional<LocalTime>& asOf) {
    RestoreChoice choice;
    if (!asOf) {
        if (copy) choice.from = RestoreChoice::From::Copy;
        return choice;
    }
    for (size_t i = 0; i < versions.size(); ++i) {
        if (!(*asOf < versions[i])) continue;
        if (choice.from == RestoreChoice::From::Nothing || versions[i] < versions[choice.version]) {
            choice.from = RestoreChoice::From::Version;
            choice.version = i;
        }
    }
    if (choice.from == RestoreChoice::From::Nothing && copy && !(*asOf < *copy))
        choice.from = RestoreChoice::From::Copy;
    return choice;
}

bool VersionExpired(const LocalTime& replaced, const LocalTime& now, int keepDays) {
    if (keepDays <= 0) return false;
    return now.Seconds() - replaced.Seconds() > keepDays * kSecondsPerDay;
}

bool ParseMoment(const std::string& text, LocalTime& moment) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return false;
    const std::string s = text.substr(first, text.find_last_not_of(' ') + 1 - first);
    // yyyy.mm.dd hh:nn, then :ss or nothing.
    if (s.size() != 16 && s.size() != 19) return false;
    if (s[4] != '.' || s[7] != '.' || s[10] != ' ' || s[13] != ':' || (s.size() == 19 && s[16] != ':'))
        return false;
    LocalTime t;
    if (!ReadDigits(s, 0, 4, t.year) || !ReadDigits(s, 5, 2, t.month) || !ReadDigits(s, 8, 2, t.day) ||
        !ReadDigits(s, 11, 2, t.hour) || !ReadDigits(s, 14, 2, t.minute) ||
        (s.size() == 19 && !ReadDigits(s, 17, 2, t.second)))
        return false;
    if (!t.Valid()) return false;
    moment = t;
    return true;
}

std::string FormatMoment(const LocalTime& t) {
    char text[32];
    snprintf(text, sizeof text, "%04d.%02d.%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
             t.second);
    return text;
}

}  // namespace pelvane
