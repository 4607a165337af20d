#include "ui/MainWindowSettings.h"

#include <commctrl.h>

#include "ui/MainWindow.h"

namespace pelvane {

HWND MainWindowSettings::Control(int id) const {
    return window_.Control(id);
}

bool MainWindowSettings::AutoStart() const {
    return Checked(Control(Tfrm_Main::kCheckBox1));
}

void MainWindowSettings::SetAutoStart(bool on) {
    if (on == AutoStart()) return;
    SetChecked(Control(Tfrm_Main::kCheckBox1), on);
    Scheduler::AutoStartChanged(*this);
}

int MainWindowSettings::Method() const {
    for (int i = 0; i < 3; ++i)
        if (Checked(Control(Tfrm_Main::kRadio0 + i))) return i;
    return -1;
}

void MainWindowSettings::SetMethod(int method) {
    for (int i = 0; i < 3; ++i) SetChecked(Control(Tfrm_Main::kRadio0 + i), i == method);
}

bool MainWindowSettings::ClearArchiveFlag() const {
    return Checked(Control(Tfrm_Main::kCheckBox4));
}

void MainWindowSettings::SetClearArchiveFlag(bool on) {
    SetChecked(Control(Tfrm_Main::kCheckBox4), on);
}

bool MainWindowSettings::DailyRun() const {
    return Checked(Control(Tfrm_Main::kRadioButton1));
}

void MainWindowSettings::SetDailyRun(bool on) {
    SetSchedule(on, Tfrm_Main::kRadioButton1, Tfrm_Main::kRadioButton2, Scheduler::DailyChosen);
}

bool MainWindowSettings::ContinuousRun() const {
    return Checked(Control(Tfrm_Main::kRadioButton2));
}

void MainWindowSettings::SetContinuousRun(bool on) {
    SetSchedule(on, Tfrm_Main::kRadioButton2, Tfrm_Main::kRadioButton1, Scheduler::ContinuousChosen);
}

void MainWindowSettings::SetSchedule(bool on, int button, int other, void (*chosen)(SettingsHolders&)) {
    if (on == Checked(Control(button))) return;
    SetChecked(Control(button), on);
    if (!on) return;
    SetChecked(Control(other), false);
    chosen(*this);
}

void MainWindowSettings::SetScheduleChoiceEnabled(bool enabled) {
    EnableWindow(Control(Tfrm_Main::kRadioButton1), enabled);
    EnableWindow(Control(Tfrm_Main::kRadioButton2), enabled);
}

SYSTEMTIME MainWindowSettings::PickerTime() const {
    SYSTEMTIME st = {};
    if (SendMessageA(Control(Tfrm_Main::kDateTimePicker1), DTM_GETSYSTEMTIME, 0,
                     reinterpret_cast<LPARAM>(&st)) != GDT_VALID)
        GetLocalTime(&st);
    return st;
}

TimeOfDay MainWindowSettings::DailyTime() const {
    const SYSTEMTIME st = PickerTime();
    return TimeOfDay{st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

void MainWindowSettings::SetDailyTime(const TimeOfDay& time) {
    SYSTEMTIME st = PickerTime();  // keeps its date part
    st.wHour = static_cast<WORD>(time.hour);
    st.wMinute = static_cast<WORD>(time.minute);
    st.wSecond = static_cast<WORD>(time.second);
    st.wMilliseconds = static_cast<WORD>(time.millisecond);
    SendMessageA(Control(Tfrm_Main::kDateTimePicker1), DTM_SETSYSTEMTIME, GDT_VALID,
                 reinterpret_cast<LPARAM>(&st));
}

std::string MainWindowSettings::IntervalText() const {
    return window_.Edit1().Text();
}

void MainWindowSettings::SetIntervalText(const std::string& text) {
    window_.Edit1().SetText(text);
}

int MainWindowSettings::WindowLeft() const {
    RECT rc;
    GetWindowRect(window_.Handle(), &rc);
    return rc.left;
}

int MainWindowSettings::WindowTop() const {
    RECT rc;
    GetWindowRect(window_.Handle(), &rc);
    return rc.top;
}

void MainWindowSettings::SetWindowLeft(int left) {
    SetWindowPos(window_.Handle(), nullptr, left, WindowTop(), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindowSettings::SetWindowTop(int top) {
    SetWindowPos(window_.Handle(), nullptr, WindowLeft(), top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindowSettings::ArmSchedule() {
    window_.GetScheduler()->ArmAtLoad(*this);
}

}  // namespace pelvane
