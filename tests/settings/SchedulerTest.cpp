#include "settings/Scheduler.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "common/Exception.h"
#include "common/Seged.h"
#include "settings/Settings.h"
#include "tests/settings/FakeHolders.h"
#include "tests/settings/TestFolder.h"

namespace pelvane {
namespace {

using test::FakeHolders;

TEST(StrToIntSafe, CutsBlanksAndNeverFails) {
    EXPECT_EQ(StrToIntSafe(" 6 0 "), 60);
    EXPECT_EQ(StrToIntSafe("\t60\r\n"), 60);
    EXPECT_EQ(StrToIntSafe("    "), 0);
    EXPECT_EQ(StrToIntSafe(""), 0);
    EXPECT_EQ(StrToIntSafe("0000"), 0);
    EXPECT_EQ(StrToIntSafe("12a"), 0);
    EXPECT_EQ(StrToIntSafe("$1F"), 31);
    EXPECT_EQ(StrToIntSafe("- 5"), -5);
    EXPECT_EQ(StrToIntSafe("99999999999"), 0);
    EXPECT_EQ(StrToIntSafe("6\t0"), 0);  // only blanks go from inside
}

TEST(ContinuousInterval, MinutesInMillisecondsCappedNeverWrapped) {
    EXPECT_EQ(Scheduler::ContinuousInterval(0), 0u);
    EXPECT_EQ(Scheduler::ContinuousInterval(1), 60000u);
    EXPECT_EQ(Scheduler::ContinuousInterval(9999), 599940000u);
    EXPECT_EQ(Scheduler::ContinuousInterval(35791), 2147460000u);
    EXPECT_EQ(Scheduler::ContinuousInterval(35792), 0x7FFFFFFFu);
    EXPECT_EQ(Scheduler::ContinuousInterval(71583), 0x7FFFFFFFu);  // would wrap to a short interval
    EXPECT_EQ(Scheduler::ContinuousInterval(INT32_MAX), 0x7FFFFFFFu);
    EXPECT_EQ(Scheduler::ContinuousInterval(-5), 0u);
}

// A hidden window that receives the timers' WM_TIMER messages.
class TimerWindow {
  public:
    TimerWindow() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "PelvaneSchedulerTest";
        RegisterClassA(&wc);
        hwnd_ = CreateWindowA("PelvaneSchedulerTest", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                              nullptr);
    }
    ~TimerWindow() {
        if (hwnd_) DestroyWindow(hwnd_);
    }
    HWND Get() const { return hwnd_; }
    void Destroy() {
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }

    // Lets WM_TIMER messages reach the scheduler for about the given time;
    // stops early once stop() says so.
    static void Pump(
        Scheduler& s, DWORD ms, const std::function<bool()>& stop = [] { return false; }) {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < ms && !stop()) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                if (msg.message == WM_TIMER) s.OnTimer(msg.wParam);
            Sleep(5);
        }
    }

  private:
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }
    HWND hwnd_ = nullptr;
};

class SchedulerTest : public ::testing::Test {
  protected:
    Scheduler::Callbacks Callbacks() {
        Scheduler::Callbacks cb;
        cb.run = [this] { ++runs; };
        cb.dailyTime = [this] { return daily; };
        cb.setPanel = [this](int panel, const std::string& text) { panels[panel] = text; };
        cb.clock = [this] { return clock; };
        return cb;
    }
    // The clock at a number of seconds after midnight of a day.
    void SetClock(int64_t seconds) {
        clock.hour = static_cast<int>(seconds / 3600 % 24);
        clock.minute = static_cast<int>(seconds / 60 % 60);
        clock.minuteNumber = 1000000 + seconds / 60;
    }

    TimerWindow window;
    int runs = 0;
    TimeOfDay daily{};
    ClockReading clock{};
    std::map<int, std::string> panels;
};

TEST_F(SchedulerTest, PanelsStartAtNemAndArmingSetsTheOneArmed) {
    Scheduler s(window.Get(), Callbacks());
    EXPECT_EQ(panels[1], "Folyamatos aktív: Nem");
    EXPECT_EQ(panels[2], "Rendszeres aktív: Nem");
    EXPECT_FALSE(s.Timer1().Enabled());
    EXPECT_EQ(s.Timer1().Interval(), 1000u);
    EXPECT_FALSE(s.Timer2().Enabled());
    EXPECT_EQ(s.Timer2().Interval(), 55000u);

    s.ArmAtLoad(true, false, true, "  15");
    EXPECT_TRUE(s.Timer1().Running());
    EXPECT_EQ(s.Timer1().Interval(), 900000u);
    EXPECT_FALSE(s.Timer2().Enabled());
    EXPECT_EQ(panels[1], "Folyamatos aktív: Igen");
    EXPECT_EQ(panels[2], "Rendszeres aktív: Nem");
}

TEST_F(SchedulerTest, DailyIsArmedOnlyWithTheMasterSwitch) {
    Scheduler off(window.Get(), Callbacks());
    off.ArmAtLoad(false, true, false, "60");
    EXPECT_FALSE(off.Timer2().Enabled());
    EXPECT_FALSE(off.Timer1().Enabled());
    EXPECT_EQ(panels[2], "Rendszeres aktív: Nem");

    Scheduler neither(window.Get(), Callbacks());
    neither.ArmAtLoad(true, false, false, "60");
    EXPECT_FALSE(neither.Timer1().Enabled() || neither.Timer2().Enabled());
    EXPECT_EQ(panels[1], "Folyamatos aktív: Nem");
    EXPECT_EQ(panels[2], "Rendszeres aktív: Nem");

    Scheduler on(window.Get(), Callbacks());
    on.ArmAtLoad(true, true, false, "60");
    EXPECT_TRUE(on.Timer2().Running());
    EXPECT_FALSE(on.Timer1().Enabled());
    EXPECT_EQ(panels[2], "Rendszeres aktív: Igen");
}

TEST_F(SchedulerTest, AnIntervalOfZeroIsArmedButNeverTicks) {
    Scheduler s(window.Get(), Callbacks());
    s.ArmAtLoad(true, false, true, "    ");
    EXPECT_TRUE(s.Timer1().Enabled());
    EXPECT_EQ(s.Timer1().Interval(), 0u);
    EXPECT_FALSE(s.Timer1().Running());
    EXPECT_EQ(panels[1], "Folyamatos aktív: Igen");
    TimerWindow::Pump(s, 300);  // a 0 given to SetTimer would tick every 10 ms
    EXPECT_EQ(runs, 0);
}

TEST_F(SchedulerTest, WindowTimersTickThroughTheMessageLoop) {
    WindowTimer t(window.Get(), Scheduler::kTimer1Id, 20);
    t.SetEnabled(true);
    Scheduler s(window.Get(), Callbacks());
    TimerWindow::Pump(s, 10000, [this] { return runs >= 2; });
    EXPECT_GE(runs, 2);
    t.SetEnabled(false);
    EXPECT_FALSE(t.Running());
}

TEST_F(SchedulerTest, ARefusedTimerRaisesAndLeavesThePanel) {
    HWND gone = window.Get();
    window.Destroy();
    Scheduler s(gone, Callbacks());
    try {
        s.ArmAtLoad(true, false, true, "5");
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Not enough timers available");
    }
    EXPECT_EQ(panels[1], "Folyamatos aktív: Nem");
    EXPECT_THROW(s.ArmAtLoad(true, true, false, ""), Exception);
    EXPECT_EQ(panels[2], "Rendszeres aktív: Nem");
}

TEST_F(SchedulerTest, TheSettingsLoadEndsByArmingAndLetsTheRefusalThrough) {
    test::TestFolder dir;
    test::WriteBytes(dir.File("Pelvane.ini"),
                     "[Defaults]\r\nAutoStart=1\r\nAutoArchive=1\r\nAutoTime=  30\r\n");
    FakeHolders h;
    Scheduler s(window.Get(), Callbacks());
    h.arm = [&] { s.ArmAtLoad(h); };
    LoadSettings(h, dir.File("Pelvane.ini"));
    EXPECT_EQ(s.Timer1().Interval(), 1800000u);
    EXPECT_TRUE(s.Timer1().Running());
    EXPECT_EQ(panels[1], "Folyamatos aktív: Igen");

    HWND gone = window.Get();
    window.Destroy();
    Scheduler refused(gone, Callbacks());
    FakeHolders h2;
    h2.arm = [&] { refused.ArmAtLoad(h2); };
    EXPECT_THROW(LoadSettings(h2, dir.File("Pelvane.ini")), Exception);
    EXPECT_EQ(panels[1], "Folyamatos aktív: Nem");
}

TEST_F(SchedulerTest, DailyCheckRunsOncePerMatchingMinuteOverADay) {
    Scheduler s(nullptr, Callbacks());
    // Every minute of the day as the chosen time: 55 s ticks from a start at
    // 0:00:03 put two ticks into one minute in eleven.
    std::vector<int> runsAt(24 * 60, 0);
    int doubleTickMinutes = 0;
    for (int chosen = 0; chosen < 24 * 60; ++chosen) {
        daily = {chosen / 60, chosen % 60, 42, 0};
        runs = 0;
        int ticksInMinute = 0;
        for (int64_t t = 3; t < 24 * 3600; t += 55) {
            SetClock(t);
            if (clock.hour * 60 + clock.minute == chosen) ++ticksInMinute;
            s.Timer2Timer();
        }
        runsAt[chosen] = runs;
        if (ticksInMinute == 2) ++doubleTickMinutes;
    }
    EXPECT_GT(doubleTickMinutes, 100);  // the case the guard is for did come up
    for (int m = 0; m < 24 * 60; ++m) EXPECT_EQ(runsAt[m], 1) << "minute " << m;
}

TEST_F(SchedulerTest, DailyCheckReadsThePickerAtEveryTickAndRunsAgainNextDay) {
    Scheduler s(nullptr, Callbacks());
    daily = {8, 0, 0, 0};
    SetClock(7 * 3600 + 59 * 60 + 30);
    s.Timer2Timer();
    EXPECT_EQ(runs, 0);
    SetClock(8 * 3600 + 1);
    s.Timer2Timer();
    SetClock(8 * 3600 + 56);  // second tick of the same minute
    s.Timer2Timer();
    EXPECT_EQ(runs, 1);
    daily = {8, 2, 0, 0};  // changed while armed: the next check uses it
    SetClock(8 * 3600 + 2 * 60 + 10);
    s.Timer2Timer();
    EXPECT_EQ(runs, 2);
    SetClock(32 * 3600 + 2 * 60 + 10);  // the next day, same wall-clock minute
    s.Timer2Timer();
    EXPECT_EQ(runs, 3);
    // A repeated wall-clock hour is a different real minute.
    clock.minuteNumber += 60;
    s.Timer2Timer();
    EXPECT_EQ(runs, 4);
}

TEST_F(SchedulerTest, ATickDuringTheRunOfTheSameMinuteStartsNothing) {
    Scheduler* self = nullptr;
    Scheduler::Callbacks cb = Callbacks();
    cb.run = [&] {
        if (++runs == 1) self->Timer2Timer();  // the run pumps messages; the next tick comes in
    };
    Scheduler s(nullptr, cb);
    self = &s;
    daily = {12, 0, 0, 0};
    SetClock(12 * 3600 + 2);
    s.Timer2Timer();
    EXPECT_EQ(runs, 1);
}

TEST_F(SchedulerTest, OnTimerDispatchesOnlyOurIds) {
    Scheduler s(nullptr, Callbacks());
    daily = {1, 1, 0, 0};
    SetClock(3600 + 60);
    EXPECT_TRUE(s.OnTimer(Scheduler::kTimer1Id));
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(s.OnTimer(Scheduler::kTimer2Id));
    EXPECT_EQ(runs, 2);
    EXPECT_FALSE(s.OnTimer(77));
    EXPECT_EQ(runs, 2);
}

TEST(ScheduleControls, CheckBoxEnablesTheButtonsAndButtonsExcludeEachOther) {
    FakeHolders h;
    h.SetCheckBox1Checked(true);
    EXPECT_TRUE(h.radioButtonsEnabled);
    h.SetCheckBox1Checked(false);
    EXPECT_FALSE(h.radioButtonsEnabled);

    h.radioButton1 = false, h.radioButton2 = false;
    h.radioButton2 = true;
    Scheduler::RadioButton2Click(h);
    EXPECT_FALSE(h.radioButton1);
    h.radioButton1 = true;
    Scheduler::RadioButton1Click(h);
    EXPECT_FALSE(h.radioButton2);
    EXPECT_TRUE(h.radioButton1);
}

}  // namespace
}  // namespace pelvane
