#include "ui/MainWindowSettings.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/MainWindow.h"

namespace pelvane {
namespace {

// The count a field's text stands for: its digits, at most max. No digits,
// or anything besides them and outer blanks (a paste can bring it), gives held.
int CountOf(const std::string& text, int max, int held) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return held;
    const size_t last = text.find_last_not_of(' ');
    long long value = 0;
    for (size_t i = first; i <= last; ++i) {
        if (text[i] < '0' || text[i] > '9') return held;
        value = std::min<long long>(value * 10 + (text[i] - '0'), max);
    }
    return static_cast<int>(value);
}

std::string TextOf(HWND wnd) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(wnd)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(wnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

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

int MainWindowSettings::CountMax(int id) const {
    return id == Tfrm_Main::kEdit2 ? keys::kVersionDaysMax : keys::kChangeGuardMax;
}

int& MainWindowSettings::Held(int id) {
    return id == Tfrm_Main::kEdit2 ? versionDays_ : changeGuard_;
}

int MainWindowSettings::Count(int id, int held) const {
    return CountOf(TextOf(Control(id)), CountMax(id), held);
}

void MainWindowSettings::SetCount(int id, int value) {
    Held(id) = value;
    // The arrows read the number from the field's text.
    const std::string text = std::to_string(value);
    if (TextOf(Control(id)) != text) SetWindowTextA(Control(id), text.c_str());
}

int MainWindowSettings::VersionDays() const {
    return Count(Tfrm_Main::kEdit2, versionDays_);
}

void MainWindowSettings::SetVersionDays(int days) {
    SetCount(Tfrm_Main::kEdit2, days);
}

int MainWindowSettings::ChangeGuard() const {
    return Count(Tfrm_Main::kEdit3, changeGuard_);
}

void MainWindowSettings::SetChangeGuard(int percent) {
    SetCount(Tfrm_Main::kEdit3, percent);
}

void MainWindowSettings::CountFieldChanged(int id) {
    Held(id) = Count(id, Held(id));
}

void MainWindowSettings::CountFieldLeft(int id) {
    SetCount(id, Count(id, Held(id)));
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
