#pragma once
// The main window's option controls as plain members, with the controls'
// own behaviour: a changed check box or a newly checked radio button runs
// its click handler, and checking a radio button unchecks its sibling.
#include <functional>
#include <string>

#include "settings/Scheduler.h"
#include "settings/SettingsHolders.h"

namespace pelvane::test {

class FakeHolders : public SettingsHolders {
  public:
    // The window's creation state.
    bool checkBox1 = false;
    int radioGroup1 = 0;
    bool checkBox4 = false;
    bool radioButton1 = true;
    bool radioButton2 = false;
    bool radioButtonsEnabled = true;
    TimeOfDay picker{};
    std::string edit1 = "    ";
    std::string excludedTypes;
    int left = 0, top = 0;

    int checkBox1Clicks = 0;
    int armCalls = 0;
    std::function<void()> arm;  // what ArmSchedule does besides counting

    bool CheckBox1Checked() const override { return checkBox1; }
    void SetCheckBox1Checked(bool checked) override {
        if (checked == checkBox1) return;
        checkBox1 = checked;
        ++checkBox1Clicks;
        Scheduler::CheckBox1Click(*this);
    }
    int RadioGroup1Index() const override { return radioGroup1; }
    void SetRadioGroup1Index(int index) override { radioGroup1 = index; }
    bool CheckBox4Checked() const override { return checkBox4; }
    void SetCheckBox4Checked(bool checked) override { checkBox4 = checked; }
    bool RadioButton1Checked() const override { return radioButton1; }
    void SetRadioButton1Checked(bool checked) override {
        if (checked == radioButton1) return;
        radioButton1 = checked;
        if (!checked) return;
        radioButton2 = false;
        Scheduler::RadioButton1Click(*this);
    }
    bool RadioButton2Checked() const override { return radioButton2; }
    void SetRadioButton2Checked(bool checked) override {
        if (checked == radioButton2) return;
        radioButton2 = checked;
        if (!checked) return;
        radioButton1 = false;
        Scheduler::RadioButton2Click(*this);
    }
    void SetRadioButtonsEnabled(bool enabled) override { radioButtonsEnabled = enabled; }
    TimeOfDay PickerTime() const override { return picker; }
    void SetPickerTime(const TimeOfDay& time) override { picker = time; }
    std::string Edit1Text() const override { return edit1; }
    void SetEdit1Text(const std::string& text) override { edit1 = text; }
    std::string ExcludedTypes() const override { return excludedTypes; }
    void SetExcludedTypes(const std::string& types) override { excludedTypes = types; }
    int WindowLeft() const override { return left; }
    int WindowTop() const override { return top; }
    void SetWindowLeft(int value) override { left = value; }
    void SetWindowTop(int value) override { top = value; }
    void ArmSchedule() override {
        ++armCalls;
        if (arm) arm();
    }
};

}  // namespace pelvane::test
