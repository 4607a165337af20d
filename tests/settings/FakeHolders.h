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
    TimeOfDay picker{};
    std::string edit1 = "    ", excludedTypes;
    std::function<void()> arm = [] {};

    bool CheckBox1Checked() const override { return checkBox1; }
    void SetCheckBox1Checked(bool c) override {
        if (c == checkBox1) return;
        checkBox1 = c;
        Scheduler::CheckBox1Click(*this);
    }
    int RadioGroup1Index() const override { return radioGroup1; }
    void SetRadioGroup1Index(int i) override { radioGroup1 = i; }
    bool CheckBox4Checked() const override { return checkBox4; }
    void SetCheckBox4Checked(bool c) override { checkBox4 = c; }
    bool RadioButton1Checked() const override { return radioButton1; }
    void SetRadioButton1Checked(bool c) override {
        if (c == radioButton1) return;
        radioButton1 = c;
        if (c) radioButton2 = false, Scheduler::RadioButton1Click(*this);
    }
    bool RadioButton2Checked() const override { return radioButton2; }
    void SetRadioButton2Checked(bool c) override {
        if (c == radioButton2) return;
        radioButton2 = c;
        if (c) radioButton1 = false, Scheduler::RadioButton2Click(*this);
    }
    void SetRadioButtonsEnabled(bool e) override { radioButtonsEnabled = e; }
    TimeOfDay PickerTime() const override { return picker; }
    void SetPickerTime(const TimeOfDay& t) override { picker = t; }
    std::string Edit1Text() const override { return edit1; }
    void SetEdit1Text(const std::string& t) override { edit1 = t; }
    std::string ExcludedTypes() const override { return excludedTypes; }
    void SetExcludedTypes(const std::string& t) override { excludedTypes = t; }
    int WindowLeft() const override { return left; }
    int WindowTop() const override { return top; }
    void SetWindowLeft(int v) override { left = v; }
    void SetWindowTop(int v) override { top = v; }
    void ArmSchedule() override { arm(); }
};

}  // namespace pelvane::test
