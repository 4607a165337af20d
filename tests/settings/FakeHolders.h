#pragma once
// The main window's option controls as plain members, behaving as the
// controls do: a changed check box or a newly checked radio button runs its
// click handler, and checking a radio button unchecks its sibling.
#include <functional>
#include <string>

#include "settings/Scheduler.h"
#include "settings/SettingsHolders.h"

namespace pelvane::test {

struct FakeHolders : SettingsHolders {
    // The window's state at creation.
    bool checkBox1 = false, checkBox4 = false, radioButton1 = true, radioButton2 = false;
    bool radioButtonsEnabled = true;
    int radioGroup1 = 0, left = 0, top = 0;
    int versionDays = 30, changeGuard = 50;
    TimeOfDay picker{};
    std::string edit1 = "    ", excludedTypes;
    std::function<void()> arm = [] {};

    bool AutoStart() const override { return checkBox1; }
    void SetAutoStart(bool c) override {
        if (c == checkBox1) return;
        checkBox1 = c;
        Scheduler::AutoStartChanged(*this);
    }
    int Method() const override { return radioGroup1; }
    void SetMethod(int i) override { radioGroup1 = i; }
    bool ClearArchiveFlag() const override { return checkBox4; }
    void SetClearArchiveFlag(bool c) override { checkBox4 = c; }
    bool DailyRun() const override { return radioButton1; }
    void SetDailyRun(bool c) override {
        if (c == radioButton1) return;
        radioButton1 = c;
        if (c) radioButton2 = false, Scheduler::DailyChosen(*this);
    }
    bool ContinuousRun() const override { return radioButton2; }
    void SetContinuousRun(bool c) override {
        if (c == radioButton2) return;
        radioButton2 = c;
        if (c) radioButton1 = false, Scheduler::ContinuousChosen(*this);
    }
    void SetScheduleChoiceEnabled(bool e) override { radioButtonsEnabled = e; }
    TimeOfDay DailyTime() const override { return picker; }
    void SetDailyTime(const TimeOfDay& t) override { picker = t; }
    std::string IntervalText() const override { return edit1; }
    void SetIntervalText(const std::string& t) override { edit1 = t; }
    std::string ExcludedTypes() const override { return excludedTypes; }
    void SetExcludedTypes(const std::string& t) override { excludedTypes = t; }
    int VersionDays() const override { return versionDays; }
    void SetVersionDays(int d) override { versionDays = d; }
    int ChangeGuard() const override { return changeGuard; }
    void SetChangeGuard(int p) override { changeGuard = p; }
    int WindowLeft() const override { return left; }
    int WindowTop() const override { return top; }
    void SetWindowLeft(int v) override { left = v; }
    void SetWindowTop(int v) override { top = v; }
    void ArmSchedule() override { arm(); }
};

}  // namespace pelvane::test
