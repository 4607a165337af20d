#pragma once
// The backup scheduler: the continuous timer runs a backup every N minutes,
// the daily timer checks the daily time every 55 s. What is armed is decided once, at the settings
// load, and holds until the program ends.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "settings/SettingsHolders.h"
#include "settings/TimeFormat.h"
#include "settings/WindowTimer.h"

namespace pelvane {

// One reading of the clock: the local wall-clock hour, minute and second,
// and a number that tells one real minute from another (minutes since 1601
// UTC), which stays distinct when the wall clock repeats an hour; and the
// local day as "yyyy.mm.dd".
struct ClockReading {
    int hour = 0;
    int minute = 0;
    int64_t minuteNumber = 0;
    std::string day;
    int second = 0;
};
ClockReading ReadClock();

// The day before a "yyyy.mm.dd" day, in the same form; "" for a text that is no day.
std::string DayBefore(const std::string& day);

// A moment of the local wall clock as LastDaily keeps it: "yyyy.mm.dd hh:mm:ss".
std::string MomentText(const std::string& day, int hour, int minute, int second);
// LastDaily as read from the settings file, as a moment that compares as
// text: a moment stays as it is; a day alone (as earlier versions wrote it,
// when a daily run started that day) counts as the end of that day; anything
// else as no run at all ("").
std::string LastDailyMoment(const std::string& stored);

// What asks for a scheduled run: a tick of the continuous timer, or a daily
// one (the daily check, or a catch-up of a daily run that was missed).
enum class ScheduledRun { Continuous, Daily };

class Scheduler {
  public:
    static constexpr UINT_PTR kContinuousTimerId = 1;
    static constexpr UINT_PTR kDailyTimerId = 2;
    static constexpr UINT kContinuousInitialInterval = 1000;
    static constexpr UINT kDailyInterval = 55000;

    // The status panels that tell what is armed.
    static constexpr int kContinuousPanel = 1;
    static constexpr int kDailyPanel = 2;
    static constexpr const char* kContinuousOff = "Folyamatos aktív: Nem";
    static constexpr const char* kContinuousOn = "Folyamatos aktív: Igen";
    static constexpr const char* kDailyOff = "Rendszeres aktív: Nem";
    static constexpr const char* kDailyOn = "Rendszeres aktív: Igen";

    struct Callbacks {
        std::function<void()> run;                                         // a backup run
        std::function<TimeOfDay()> dailyTime;                              // the daily run's time of day
        std::function<void(int panel, const std::string& text)> setPanel;  // a status panel's text
        std::function<ClockReading()> clock = ReadClock;
        // What holds a scheduled run back: one of our modal windows is open
        // (its loop lets ticks through), a run is under way, or the user is
        // in the middle of editing a task (a run would store it half-typed).
        std::function<bool()> modalOpen = [] { return false; };
        std::function<bool()> runUnderWay = [] { return false; };
        std::function<bool()> editUnderWay = [] { return false; };
        // The user is ending the program: a run held back is dropped, and
        // none starts any more.
        std::function<bool()> ending = [] { return false; };
        // The last daily run as the settings file keeps it (LastDaily): read
        // when the daily schedule is armed, written when a daily run has
        // really started (see RunStarted), as a MomentText.
        std::function<std::string()> lastDailyRun = [] { return std::string(); };
        std::function<void(const std::string& moment)> dailyRunStarted = [](const std::string&) {};
    };

    // Both timers disabled on the given window; the two panels get their
    // "Nem" texts.
    Scheduler(HWND window, Callbacks callbacks);

    // The last step of the settings load. Throws "Not enough timers
    // available" when the system refuses a timer (that panel is then not set).
    void ArmAtLoad(bool autoStart, bool daily, bool continuous, const std::string& intervalText);
    void ArmAtLoad(const SettingsHolders& holders);

    // For the window's WM_TIMER: true when the id is one of ours.
    bool OnTimer(UINT_PTR id);
    // The daily timer's tick: one run when the clock's hour and minute are
    // the daily time's, at most one per minute. The first check after the
    // arming and after Resumed also catches up a daily run that was missed:
    // when the most recent scheduled moment (today's time if it has passed,
    // else yesterday's) is later than the last daily run.
    void DailyCheck();
    // The computer came back from sleep or hibernation.
    void Resumed();

    // The one way a scheduled run starts. With nothing holding it back it
    // runs now. Under a modal window, during an edit, or for a daily run
    // during another run, it is kept (once, however many come) and
    // RunPending carries it out when that has ended. A continuous tick
    // during a run is dropped: the next tick comes anyway. While the program
    // ends nothing starts.
    void RequestRun(ScheduledRun kind);
    // A modal window, an edit or a run has ended: a kept run starts now,
    // unless something still holds it back.
    void RunPending();
    bool RunKept() const { return kept_; }
    // A run has really started (its tasks are stored and there are some).
    // When it is a daily one, LastDaily is written now: a daily run that
    // never started leaves the day to be caught up.
    void RunStarted();

    const WindowTimer& ContinuousTimer() const { return continuous_; }
    const WindowTimer& DailyTimer() const { return daily_; }

    // N minutes as a timer interval: N x 60000 ms, 0 for N <= 0, capped at
    // the largest interval a 32-bit signed value and SetTimer allow.
    static UINT ContinuousInterval(int32_t minutes);

    // The rules between the schedule options; the window's handlers call them.
    // Only with autostart on can the kind of schedule be chosen.
    static void AutoStartChanged(SettingsHolders& holders);
    // The daily and the continuous schedule exclude each other.
    static void DailyChosen(SettingsHolders& holders);
    static void ContinuousChosen(SettingsHolders& holders);

  private:
    void Start(ScheduledRun kind);

    Callbacks callbacks_;
    WindowTimer continuous_;
    WindowTimer daily_;
    int64_t lastDailyRun_ = -1;   // minuteNumber of the last daily check that matched
    std::string lastDaily_;       // the last daily run (LastDailyMoment), "" when none is known
    bool catchUpDue_ = false;     // the next daily check looks for a missed run
    bool dailyStarting_ = false;  // a daily run was asked to start and has not yet
    bool kept_ = false;           // a run fell due while something held it back
    bool keptDaily_ = false;      // ... and it was a daily one
};

}  // namespace pelvane
