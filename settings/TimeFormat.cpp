#include "settings/TimeFormat.h"

#include <cstdlib>

namespace pelvane {
namespace {

std::string LocaleString(LCID locale, LCTYPE type, const char* def) {
    char buf[128];
    int n = GetLocaleInfoA(locale, type, buf, sizeof buf);
    return n > 0 ? std::string(buf) : std::string(def);
}

int LocaleNumber(LCID locale, LCTYPE type) {
    return std::atoi(LocaleString(locale, type, "0").c_str());
}

std::string TwoDigits(int n) {
    char buf[16];
    snprintf(buf, sizeof buf, "%02d", n);
    return buf;
}

// A cursor over the text in the manner of the regional time reader: blanks
// may stand before every part.
class Scanner {
  public:
    explicit Scanner(const std::string& text) : text_(text) {}

    void SkipBlanks() {
        while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
    }
    bool AtEnd() {
        SkipBlanks();
        return pos_ == text_.size();
    }
    // An empty symbol never matches.
    bool Symbol(const std::string& symbol, bool ignoreCase) {
        if (symbol.empty()) return false;
        SkipBlanks();
        if (text_.size() - pos_ < symbol.size()) return false;
        bool same = ignoreCase ? CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, symbol.data(),
                                                static_cast<int>(symbol.size()), text_.data() + pos_,
                                                static_cast<int>(symbol.size())) == CSTR_EQUAL
                               : text_.compare(pos_, symbol.size(), symbol) == 0;
        if (same) pos_ += symbol.size();
        return same;
    }
    bool Number(int& value) {
        SkipBlanks();
        size_t start = pos_;
        long n = 0;
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
            n = n * 10 + (text_[pos_++] - '0');
            if (n > 99999) return false;  // no part of a time is this long
        }
        if (pos_ == start) return false;
        value = static_cast<int>(n);
        return true;
    }

  private:
    const std::string& text_;
    size_t pos_ = 0;
};

// 0 none, 1 before noon, 2 after noon.
int Designator(Scanner& s, const TimeFormat& f) {
    if (s.Symbol(f.am, true) || s.Symbol("AM", true)) return 1;
    if (s.Symbol(f.pm, true) || s.Symbol("PM", true)) return 2;
    return 0;
}

TimeFormat& CurrentFormat() {
    static TimeFormat format = TimeFormat::FromLocale();
    return format;
}

}  // namespace

TimeOfDay CurrentTimeOfDay() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

TimeFormat TimeFormat::FromLocale(LCID locale) {
    TimeFormat f;
    f.hourLeadingZero = LocaleNumber(locale, LOCALE_ITLZERO) != 0;
    f.separator = LocaleString(locale, LOCALE_STIME, ":");
    f.clock24 = LocaleNumber(locale, LOCALE_ITIME) != 0;
    f.am = LocaleString(locale, LOCALE_S1159, "am");
    f.pm = LocaleString(locale, LOCALE_S2359, "pm");
    f.designatorBefore = LocaleNumber(locale, LOCALE_ITIMEMARKPOSN) != 0;
    f.decimalSeparator = LocaleString(locale, LOCALE_SDECIMAL, ".");
    return f;
}

std::string TimeFormat::Format(const TimeOfDay& time) const {
    int hour = time.hour;
    if (!clock24) {
        hour %= 12;
        if (hour == 0) hour = 12;
    }
    std::string text = hourLeadingZero ? TwoDigits(hour) : std::to_string(hour);
    text += separator + TwoDigits(time.minute) + separator + TwoDigits(time.second);
    if (clock24) return text;
    const std::string& mark = time.hour < 12 ? am : pm;
    return designatorBefore ? mark + " " + text : text + " " + mark;
}

bool TimeFormat::Parse(const std::string& text, TimeOfDay& time) const {
    Scanner s(text);
    int mark = Designator(s, *this);
    TimeOfDay t;
    if (!s.Number(t.hour)) return false;
    if (s.Symbol(separator, false)) {
        if (!s.Number(t.minute)) return false;
        if (s.Symbol(separator, false)) {
            if (!s.Number(t.second)) return false;
            if (s.Symbol(decimalSeparator, false) && !s.Number(t.millisecond)) return false;
        }
    }
    if (mark == 0) mark = Designator(s, *this);
    if (mark != 0) {
        if (t.hour == 0 || t.hour > 12) return false;
        if (t.hour == 12) t.hour = 0;
        if (mark == 2) t.hour += 12;
    }
    if (!s.AtEnd()) return false;
    if (t.hour >= 24 || t.minute >= 60 || t.second >= 60 || t.millisecond >= 1000) return false;
    time = t;
    return true;
}

const TimeFormat& RegionalTimeFormat() {
    return CurrentFormat();
}

void ReloadRegionalTimeFormat() {
    CurrentFormat() = TimeFormat::FromLocale();
}

void SetRegionalTimeFormat(const TimeFormat& format) {
    CurrentFormat() = format;
}

}  // namespace pelvane
