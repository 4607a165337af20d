#include "settings/Scheduler.h"

#include <cstdio>
#include <utility>

#include "common/Seged.h"
#include "settings/StrToIntSafe.h"

namespace pelvane {

ClockReading ReadClock() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    SYSTEMTIME utc, local;
    FileTimeToSystemTime(&now, &utc);
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) GetLocalTime(&local);
    ULARGE_INTEGER ticks;
    ticks.LowPart = now.dwLowDateTime;
    ticks.HighPart = now.dwHighDateTime;
    ClockReading r;
    r.hour = local.wHour;
    r.minute = local.wMinute;
    r.minuteNumber = static_cast<int64_t>(ticks.QuadPart / 600000000ULL);  // 100-ns units per minute
    r.second = local.wSecond;
    char day[16];
    snprintf(day, sizeof day, "%04u.%02u.%02u", local.wYear, local.wMonth, local.wDay);
    r.day = day;
    return r;
}

namespace {

// Digits where the pattern has 9, the pattern's own character elsewhere.
bool Matches(const std::string& text, const char* pattern) {
    size_t i = 0;
    for (; pattern[i]; ++i) {
        if (i >= text.size()) return false;
        const char c = text[i];
        if (pattern[i] == '9' ? c < '0' || c > '9' : c != pattern[i]) return false;
    }
    return i == text.size();
}

constexpr char kDayPattern[] = "9999.99.99";
constexpr char kMomentPattern[] = "9999.99.99 99:99:99";

}  // namespace

std::string DayBefore(const std::string& day) {
    if (!Matches(day, kDayPattern)) return {};
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(std::stoi(day.substr(0, 4)));
    st.wMonth = static_cast<WORD>(std::stoi(day.substr(5, 2)));
    st.wDay = static_cast<WORD>(std::stoi(day.substr(8, 2)));
    FILETIME ft;
    if (!SystemTimeToFileTime(&st, &ft)) return {};
    ULARGE_INTEGER t;
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    t.QuadPart -= 24ULL * 3600 * 10000000;  // a calendar day in 100-ns units
    ft.dwLowDateTime = t.LowPart;
    ft.dwHighDateTime = t.HighPart;
    if (!FileTimeToSystemTime(&ft, &st)) return {};
    char text[16];
    snprintf(text, sizeof text, "%04u.%02u.%02u", st.wYear, st.wMonth, st.wDay);
    return text;
}

std::string MomentText(const std::string& day, int hour, int minute, int second) {
    char time[16];
    snprintf(time, sizeof time, " %02d:%02d:%02d", hour, minute, second);
    return day + time;
}

std::string LastDailyMoment(const std::string& stored) {
    if (Matches(stored, kMomentPattern)) return stored;
    // Earlier versions kept the day alone, written when a daily run started
    // at or after that day's time: nothing of that day is left to catch up.
    if (Matches(stored, kDayPattern)) return stored + " 24:00:00";
    return {};
}

Scheduler::Scheduler(HWND window, Callbacks callbacks)
    : callbacks_(std::move(callbacks)),
      continuous_(window, kContinuousTimerId, kContinuousInitialInterval),
      daily_(window, kDailyTimerId, kDailyInterval) {
    callbacks_.setPanel(kContinuousPanel, kContinuousOff);
    callbacks_.setPanel(kDailyPanel, kDailyOff);
}

void Scheduler::ArmAtLoad(bool autoStart, bool daily, bool continuous, const std::string& intervalText) {
    if (autoStart && continuous) {
        continuous_.SetInterval(ContinuousInterval(StrToIntSafe(intervalText)));
        continuous_.SetEnabled(true);
        callbacks_.setPanel(kContinuousPanel, kContinuousOn);
    }
    if (autoStart && daily) {
        daily_.SetEnabled(true);
        callbacks_.setPanel(kDailyPanel, kDailyOn);
        lastDaily_ = LastDailyMoment(callbacks_.lastDailyRun());
        catchUpDue_ = true;
    }
}

void Scheduler::Resumed() {
    // The timers went on counting where they were; the next daily check
    // comes within 55 s and looks for the run the sleep took.
    if (daily_.Enabled()) catchUpDue_ = true;
}

void Scheduler::ArmAtLoad(const SettingsHolders& h) {
    ArmAtLoad(h.AutoStart(), h.DailyRun(), h.ContinuousRun(), h.IntervalText());
}

bool Scheduler::OnTimer(UINT_PTR id) {
    if (id == kContinuousTimerId) {
        RequestRun(ScheduledRun::Continuous);
        return true;
    }
    if (id == kDailyTimerId) {
        DailyCheck();
        return true;
    }
    return false;
}

void Scheduler::DailyCheck() {
    ClockReading now = callbacks_.clock();
    TimeOfDay daily = callbacks_.dailyTime();
    const bool catchUp = std::exchange(catchUpDue_, false);
    if (now.hour == daily.hour && now.minute == daily.minute) {
        // 55 s ticks give some minutes two ticks; the second must not start
        // the day's run again. Marked before the run, which lets ticks through.
        if (now.minuteNumber == lastDailyRun_) return;
        lastDailyRun_ = now.minuteNumber;
        RequestRun(ScheduledRun::Daily);
        return;
    }
    // The computer was off or asleep at that minute, or Pelvane not running;
    // a night's sleep puts the missed moment on the day before.
    if (!catchUp) return;
    const bool passed = now.hour * 60 + now.minute > daily.hour * 60 + daily.minute;
    const std::string day = passed ? now.day : DayBefore(now.day);
    if (day.empty()) return;
    if (MomentText(day, daily.hour, daily.minute, 0) > lastDaily_) RequestRun(ScheduledRun::Daily);
}

void Scheduler::RequestRun(ScheduledRun kind) {
    if (callbacks_.ending()) return;
    if (callbacks_.runUnderWay()) {
        if (kind == ScheduledRun::Daily) kept_ = keptDaily_ = true;
        return;
    }
    // A run now would move the table's cursor under a dialog, and what the
    // dialog answers would land in another row; during an edit it would
    // store what the user has typed so far.
    if (callbacks_.modalOpen() || callbacks_.editUnderWay()) {
        kept_ = true;
        keptDaily_ = keptDaily_ || kind == ScheduledRun::Daily;
        return;
    }
    Start(kind);
}

void Scheduler::RunPending() {
    if (kept_ && callbacks_.ending()) kept_ = keptDaily_ = false;
    if (!kept_ || callbacks_.runUnderWay() || callbacks_.modalOpen() || callbacks_.editUnderWay()) return;
    kept_ = false;
    Start(std::exchange(keptDaily_, false) ? ScheduledRun::Daily : ScheduledRun::Continuous);
}

void Scheduler::Start(ScheduledRun kind) {
    // A daily run is recorded when it has really started (RunStarted), not
    // when it was asked for: an empty table or a row that cannot be stored
    // ends it first.
    struct Starting {
        bool& flag;
        ~Starting() { flag = false; }
    } starting{dailyStarting_};
    dailyStarting_ = kind == ScheduledRun::Daily;
    callbacks_.run();
}

void Scheduler::RunStarted() {
    if (!std::exchange(dailyStarting_, false)) return;
    // Recorded as it starts: a later start catches up nothing before this moment.
    const ClockReading now = callbacks_.clock();
    lastDaily_ = MomentText(now.day, now.hour, now.minute, now.second);
    callbacks_.dailyRunStarted(lastDaily_);
}

UINT Scheduler::ContinuousInterval(int32_t minutes) {
    if (minutes <= 0) return 0;
    constexpr int64_t kLargest = 0x7FFFFFFF;  // USER_TIMER_MAXIMUM, also INT32_MAX
    int64_t ms = static_cast<int64_t>(minutes) * 60000;
    return static_cast<UINT>(ms > kLargest ? kLargest : ms);
}

void Scheduler::AutoStartChanged(SettingsHolders& h) {
    h.SetScheduleChoiceEnabled(h.AutoStart());
}

void Scheduler::DailyChosen(SettingsHolders& h) {
    h.SetContinuousRun(!h.DailyRun());
}

void Scheduler::ContinuousChosen(SettingsHolders& h) {
    h.SetDailyRun(!h.ContinuousRun());
}

}  // namespace pelvane
