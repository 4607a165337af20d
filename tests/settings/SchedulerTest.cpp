#include "settings/Scheduler.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "common/Exception.h"
#include "common/Seged.h"
#include "settings/Settings.h"
#include "settings/StrToIntSafe.h"
#include "tests/settings/FakeHolders.h"
#include "tests/settings/TestSupport.h"

namespace pelvane {
namespace {

using namespace test;

TEST(Scheduler, MinutesFieldGivesACappedNeverWrappedInterval) {
    EXPECT_EQ(StrToIntSafe(" 6 0 "), 60);
    EXPECT_EQ(StrToIntSafe("    "), 0);
    EXPECT_EQ(StrToIntSafe("12a"), 0);
    EXPECT_EQ(StrToIntSafe("$1F"), 31);
    EXPECT_EQ(StrToIntSafe("6\t0"), 0);  // only blanks go from inside

    EXPECT_EQ(Scheduler::ContinuousInterval(0), 0u);
    EXPECT_EQ(Scheduler::ContinuousInterval(9999), 599940000u);
    EXPECT_EQ(Scheduler::ContinuousInterval(35791), 2147460000u);
    EXPECT_EQ(Scheduler::ContinuousInterval(71583), 0x7FFFFFFFu);  // the product wraps to 60 s in 32 bits
    EXPECT_EQ(Scheduler::ContinuousInterval(-5), 0u);
}

class SchedulerTest : public ::testing::Test {
  protected:
    SchedulerTest() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "PelvaneSchedulerTest";
        RegisterClassA(&wc);
        window =
            CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        callbacks.run = [this] { ++runs; };
        callbacks.dailyTime = [this] { return daily; };
        callbacks.setPanel = [this](int panel, const std::string& text) { panels[panel] = text; };
        callbacks.clock = [this] { return clock; };
    }
    ~SchedulerTest() override { DestroyWindow(window); }

    // Hands WM_TIMER messages to the scheduler for up to ms milliseconds.
    void Pump(Scheduler& s, DWORD ms, int stopAtRuns) {
        for (DWORD start = GetTickCount(); GetTickCount() - start < ms && runs < stopAtRuns; Sleep(5)) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                if (msg.message == WM_TIMER) s.OnTimer(msg.wParam);
        }
    }
    // The clock at a number of seconds after the midnight of some day.
    void SetClock(int64_t seconds) {
        clock.hour = static_cast<int>(seconds / 3600 % 24);
        clock.minute = static_cast<int>(seconds / 60 % 60);
        clock.minuteNumber = 1000 + seconds / 60;
    }

    HWND window;
    Scheduler::Callbacks callbacks;
    int runs = 0;
    TimeOfDay daily{};
    ClockReading clock{};
    std::map<int, std::string> panels;
};

TEST_F(SchedulerTest, ArmingFollowsTheMasterSwitchAndTheChosenButton) {
    Scheduler none(window, callbacks);
    EXPECT_EQ(panels[1], "Folyamatos aktív: Nem");
    EXPECT_EQ(panels[2], "Rendszeres aktív: Nem");
    none.ArmAtLoad(false, true, false, "60");
    none.ArmAtLoad(true, false, false, "60");
    EXPECT_FALSE(none.ContinuousTimer().Enabled() || none.DailyTimer().Enabled());
    EXPECT_EQ(panels[1] + panels[2], "Folyamatos aktív: NemRendszeres aktív: Nem");

    Scheduler daily(window, callbacks);
    daily.ArmAtLoad(true, true, false, "60");
    EXPECT_TRUE(daily.DailyTimer().Running());
    EXPECT_EQ(daily.DailyTimer().Interval(), 55000u);
    EXPECT_FALSE(daily.ContinuousTimer().Enabled());
    EXPECT_EQ(panels[2], "Rendszeres aktív: Igen");
    EXPECT_EQ(panels[1], "Folyamatos aktív: Nem");

    // Through the settings load, as the window does it.
    ScratchFolder dir;
    WriteBytes(dir.Path("Pelvane.ini"), "[Defaults]\r\nAutoStart=1\r\nAutoArchive=1\r\nAutoTime=  30\r\n");
    Scheduler continuous(window, callbacks);
    FakeHolders h;
    h.arm = [&] { continuous.ArmAtLoad(h); };
    LoadSettings(h, dir.Path(L"Pelvane.ini"));
    EXPECT_TRUE(continuous.ContinuousTimer().Running());
    EXPECT_EQ(continuous.ContinuousTimer().Interval(), 1800000u);
    EXPECT_FALSE(continuous.DailyTimer().Enabled());
    EXPECT_EQ(panels[1], "Folyamatos aktív: Igen");
}

TEST_F(SchedulerTest, AnIntervalOfZeroIsArmedButNeverTicks) {
    Scheduler s(window, callbacks);
    s.ArmAtLoad(true, false, true, "0000");
    EXPECT_TRUE(s.ContinuousTimer().Enabled());
    EXPECT_FALSE(s.ContinuousTimer().Running());
    EXPECT_EQ(panels[1], "Folyamatos aktív: Igen");
    Pump(s, 300, 1);  // SetTimer with 0 would tick every 10 ms
    EXPECT_EQ(runs, 0);

    // The same loop does deliver a timer that runs.
    WindowTimer t(window, Scheduler::kContinuousTimerId, 20);
    t.SetEnabled(true);
    Pump(s, 10000, 2);
    EXPECT_EQ(runs, 2);
}

TEST_F(SchedulerTest, ARefusedTimerEndsTheLoadWithoutSettingThePanel) {
    DestroyWindow(window);  // SetTimer fails on a window that is gone
    Scheduler s(window, callbacks);
    FakeHolders h;
    h.checkBox1 = true, h.radioButton1 = false, h.radioButton2 = true, h.edit1 = "5";
    try {
        s.ArmAtLoad(h);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Not enough timers available");
    }
    EXPECT_EQ(panels[1], "Folyamatos aktív: Nem");
    EXPECT_THROW(s.ArmAtLoad(true, true, false, ""), Exception);
    EXPECT_EQ(panels[2], "Rendszeres aktív: Nem");
}

TEST_F(SchedulerTest, DailyCheckStartsOneRunForEveryChosenMinuteOfADay) {
    Scheduler s(nullptr, callbacks);
    int doubleTickMinutes = 0;
    for (int chosen = 0; chosen < 24 * 60; ++chosen) {
        daily = {chosen / 60, chosen % 60, 42, 0};  // seconds play no part
        runs = 0;
        int ticks = 0;
        for (int64_t t = 3; t < 24 * 3600; t += 55) {  // 55 s ticks from 0:00:03
            SetClock(t);
            ticks += clock.hour * 60 + clock.minute == chosen;
            s.DailyCheck();
        }
        EXPECT_EQ(runs, 1) << "minute " << chosen << ", ticks " << ticks;
        doubleTickMinutes += ticks == 2;
    }
    EXPECT_GT(doubleTickMinutes, 100);  // one minute in eleven gets two ticks
}

TEST_F(SchedulerTest, DailyCheckReadsThePickerEachTimeAndRunsAgainInAnotherMinute) {
    Scheduler* self = nullptr;
    callbacks.run = [&] {
        if (++runs == 1) self->DailyCheck();  // a tick delivered while the run pumps messages
    };
    Scheduler s(nullptr, callbacks);
    self = &s;
    daily = {8, 0, 0, 0};
    SetClock(8 * 3600 - 30);
    s.DailyCheck();
    EXPECT_EQ(runs, 0);
    SetClock(8 * 3600 + 1);
    s.DailyCheck();
    EXPECT_EQ(runs, 1);
    daily = {8, 2, 0, 0};  // changed while armed
    SetClock(8 * 3600 + 130);
    s.DailyCheck();
    SetClock(32 * 3600 + 130);  // the next day
    s.DailyCheck();
    clock.minuteNumber += 60;  // an hour the clock repeats is another real minute
    s.DailyCheck();
    EXPECT_EQ(runs, 4);
    EXPECT_TRUE(s.OnTimer(Scheduler::kContinuousTimerId));  // the continuous timer's tick is the run itself
    EXPECT_FALSE(s.OnTimer(77));
    EXPECT_EQ(runs, 5);
}

TEST_F(SchedulerTest, ARunThatFallsDueUnderADialogComesOnceWhenItCloses) {
    bool modal = true;
    callbacks.modalOpen = [&] { return modal; };
    Scheduler s(nullptr, callbacks);
    daily = {8, 0, 0, 0};
    SetClock(8 * 3600 + 1);
    s.DailyCheck();
    s.OnTimer(Scheduler::kContinuousTimerId);
    s.OnTimer(Scheduler::kContinuousTimerId);
    EXPECT_EQ(runs, 0);
    EXPECT_TRUE(s.RunKept());
    s.RunPending();  // the dialog is still open
    EXPECT_EQ(runs, 0);
    modal = false;
    s.RunPending();
    s.RunPending();
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(s.RunKept());
    s.OnTimer(Scheduler::kContinuousTimerId);  // nothing in the way: at once
    EXPECT_EQ(runs, 2);
}

TEST_F(SchedulerTest, ADailyTickDuringARunIsDeferredNotLost) {
    bool running = true, modal = false;
    callbacks.runUnderWay = [&] { return running; };
    callbacks.modalOpen = [&] { return modal; };
    Scheduler s(nullptr, callbacks);
    s.OnTimer(Scheduler::kContinuousTimerId);  // a continuous tick during a run is dropped
    EXPECT_FALSE(s.RunKept());
    daily = {23, 59, 0, 0};
    SetClock(23 * 3600 + 59 * 60 + 50);
    s.DailyCheck();
    SetClock(24 * 3600 + 45);  // the run goes on past midnight; the minute has passed
    s.DailyCheck();
    EXPECT_EQ(runs, 0);
    EXPECT_TRUE(s.RunKept());
    // The run ends under an error box: the daily run waits for the box too.
    running = false;
    modal = true;
    s.RunPending();
    EXPECT_EQ(runs, 0);
    modal = false;
    s.RunPending();
    EXPECT_EQ(runs, 1);
    s.RunPending();
    EXPECT_EQ(runs, 1);
}

TEST_F(SchedulerTest, AMissedDailyRunIsCaughtUpOnceAfterAStartOrAResume) {
    std::string stored;  // LastDaily in the settings file
    callbacks.lastDailyRun = [&] { return stored; };
    callbacks.dailyRunStarted = [&](const std::string& moment) { stored = moment; };
    Scheduler* current = nullptr;
    callbacks.run = [&] {
        ++runs;
        current->RunStarted();  // the run really starts
    };
    const int64_t day = 24 * 3600;
    auto at = [&](int64_t seconds, const char* date) {
        SetClock(seconds);
        clock.second = static_cast<int>(seconds % 60);
        clock.day = date;
    };
    auto start = [&](Scheduler& s) {
        current = &s;
        s.ArmAtLoad(true, true, false, "");
        s.DailyCheck();  // the first check after the arming
    };
    daily = {8, 0, 0, 0};

    // Started at 10:30 with no daily run recorded: one run at the first check.
    at(10 * 3600 + 30 * 60 + 5, "2026.12.08");
    {
        Scheduler s(nullptr, callbacks);
        start(s);
        EXPECT_EQ(runs, 1);
        EXPECT_EQ(stored, "2026.12.08 10:30:05");
        at(10 * 3600 + 31 * 60, "2026.12.08");
        s.DailyCheck();
        EXPECT_EQ(runs, 1);
    }
    // Started again the same day, or the next day before 08:00: nothing.
    for (int64_t t : {int64_t{11 * 3600}, day + 7 * 3600}) {
        at(t, t < day ? "2026.12.08" : "2026.12.09");
        Scheduler s(nullptr, callbacks);
        start(s);
        EXPECT_EQ(runs, 1);
    }
    // The run at its minute; then asleep over the following 08:00: the first
    // check after the resume catches up, once; a check without a resume never does.
    Scheduler s(nullptr, callbacks);
    start(s);
    at(day + 8 * 3600 + 20, "2026.12.09");
    s.DailyCheck();
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(stored, "2026.12.09 08:00:20");
    at(2 * day + 9 * 3600, "2026.12.10");
    s.DailyCheck();
    EXPECT_EQ(runs, 2);
    s.Resumed();
    s.DailyCheck();
    EXPECT_EQ(runs, 3);
    s.Resumed();
    s.DailyCheck();
    EXPECT_EQ(runs, 3);

    // Asleep across midnight: the daily time is 22:00, the laptop sleeps from
    // 21:00 to 07:00. At the resume yesterday's 22:00 is the moment missed.
    daily = {22, 0, 0, 0};
    at(3 * day + 7 * 3600, "2026.12.11");
    s.Resumed();
    s.DailyCheck();
    EXPECT_EQ(runs, 4);
    EXPECT_EQ(stored, "2026.12.11 07:00:00");
    // Started after midnight when yesterday's run did happen: nothing.
    at(4 * day + 22 * 3600 + 10, "2026.12.12");
    s.DailyCheck();
    EXPECT_EQ(runs, 5);
    at(5 * day + 30, "2026.12.13");
    {
        Scheduler again(nullptr, callbacks);
        start(again);
        EXPECT_EQ(runs, 5);
    }
    // The first of a month looks back to the last day of the one before.
    stored = "2026.02.27 22:00:00";
    at(6 * day + 3600, "2026.03.01");
    {
        Scheduler again(nullptr, callbacks);
        start(again);
        EXPECT_EQ(runs, 6);
    }
}

// A file written by the previous version holds the day alone: the run of
// that day happened at or after its time, so nothing of it is run again,
// and nothing later is missed. A value that is no day counts as no run.
TEST_F(SchedulerTest, ALastDailyDayOfAnEarlierVersionIsNeitherRunAgainNorMissed) {
    std::string stored;
    callbacks.lastDailyRun = [&] { return stored; };
    daily = {22, 0, 0, 0};
    struct Case {
        const char* lastDaily;
        const char* day;
        int64_t seconds;
        int runs;
    };
    const Case cases[] = {
        {"2026.12.09", "2026.12.09", 23 * 3600, 0},  // the same day, after its run
        {"2026.12.09", "2026.12.10", 7 * 3600, 0},   // the next morning: last night's was run
        {"2026.12.09", "2026.12.10", 23 * 3600, 1},  // the next evening's was missed
        {"2026.12.08", "2026.12.10", 7 * 3600, 1},   // last night's was missed
        {"gestern", "2026.12.10", 7 * 3600, 1},
    };
    for (const Case& c : cases) {
        stored = c.lastDaily;
        SetClock(c.seconds);
        clock.day = c.day;
        runs = 0;
        Scheduler s(nullptr, callbacks);
        s.ArmAtLoad(true, true, false, "");
        s.DailyCheck();
        EXPECT_EQ(runs, c.runs) << c.lastDaily << " at " << c.day << " " << c.seconds / 3600 << ":00";
    }
}

// An empty task table or a row that cannot be stored ends a run before it
// starts: the day is not done, and the next start or resume tries again.
TEST_F(SchedulerTest, ADailyRunIsRecordedOnlyWhenItReallyStarts) {
    std::vector<std::string> recorded;
    callbacks.dailyRunStarted = [&](const std::string& moment) { recorded.push_back(moment); };
    bool starts = false;
    Scheduler* self = nullptr;
    callbacks.run = [&] {
        ++runs;
        if (starts) self->RunStarted();
    };
    Scheduler s(nullptr, callbacks);
    self = &s;
    daily = {8, 0, 0, 0};
    SetClock(9 * 3600);
    clock.day = "2026.12.08";
    s.ArmAtLoad(true, true, false, "");
    s.DailyCheck();
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(recorded.empty());
    s.Resumed();
    starts = true;
    s.DailyCheck();
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(recorded, std::vector<std::string>{"2026.12.08 09:00:00"});
    // A run that is not a daily one (the button, the continuous timer) records nothing.
    s.RunStarted();
    s.OnTimer(Scheduler::kContinuousTimerId);
    EXPECT_EQ(recorded.size(), 1u);
}

TEST(SchedulerDays, DayBeforeCrossesMonthsYearsAndLeapDays) {
    EXPECT_EQ(DayBefore("2026.12.09"), "2026.12.08");
    EXPECT_EQ(DayBefore("2026.03.01"), "2026.02.28");
    EXPECT_EQ(DayBefore("2028.03.01"), "2028.02.29");
    EXPECT_EQ(DayBefore("2027.01.01"), "2026.12.31");
    EXPECT_EQ(DayBefore("2026.13.01"), "");
    EXPECT_EQ(DayBefore("2026.1.1"), "");
}

}  // namespace
}  // namespace pelvane
