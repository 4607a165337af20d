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
    char day[16];
    snprintf(day, sizeof day, "%04u.%02u.%02u", local.wYear, local.wMonth, local.wDay);
    r.day = day;
    return r;
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
        lastDailyDay_ = callbacks_.lastDailyRun();
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
    // The computer was off or asleep at that minute, or Pelvane not running.
    const bool passed = now.hour * 60 + now.minute > daily.hour * 60 + daily.minute;
    if (catchUp && passed && lastDailyDay_ != now.day) RequestRun(ScheduledRun::Daily);
}

void Scheduler::RequestRun(ScheduledRun kind) {
    if (callbacks_.runUnderWay()) {
        if (kind == ScheduledRun::Daily) kept_ = keptDaily_ = true;
        return;
    }
    if (callbacks_.modalOpen()) {
        // A run now would move the table's cursor under the dialog, and
        // what the dialog answers would land in another row.
        kept_ = true;
        keptDaily_ = keptDaily_ || kind == ScheduledRun::Daily;
        return;
    }
    Start(kind);
}

void Scheduler::RunPending() {
    if (!kept_ || callbacks_.runUnderWay() || callbacks_.modalOpen()) return;
    kept_ = false;
    Start(std::exchange(keptDaily_, false) ? ScheduledRun::Daily : ScheduledRun::Continuous);
}

void Scheduler::Start(ScheduledRun kind) {
    if (kind == ScheduledRun::Daily) {
        // Recorded as it starts: a later start on the same day catches up nothing.
        ClockReading now = callbacks_.clock();
        lastDailyDay_ = now.day;
        callbacks_.dailyRunStarted(now.day);
    }
    callbacks_.run();
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
