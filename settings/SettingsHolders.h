#pragma once
// What the settings load and save need of the main window: the controls and
// members that hold the options between the load and the save. The main
// window implements it; tests give a fake.
#include <string>

#include "settings/TimeFormat.h"

namespace pelvane {

class SettingsHolders {
  public:
    virtual ~SettingsHolders() = default;

    // CheckBox1 "Automatikus indítás Windows indításakor". Setting a state
    // that differs from the current one runs CheckBox1Click.
    virtual bool CheckBox1Checked() const = 0;
    virtual void SetCheckBox1Checked(bool checked) = 0;

    // RadioGroup1 "Módszer": 0..2, -1 when no item is selected. The load
    // passes values already clamped to -1..2.
    virtual int RadioGroup1Index() const = 0;
    virtual void SetRadioGroup1Index(int index) = 0;

    // CheckBox4 "Archív jelző törlése másolás után".
    virtual bool CheckBox4Checked() const = 0;
    virtual void SetCheckBox4Checked(bool checked) = 0;

    // RadioButton1 (daily) and RadioButton2 (continuous), siblings in
    // "Rendszeres". Checking one that was unchecked unchecks the other and then
    // runs its click handler (RadioButton1Click / RadioButton2Click);
    // unchecking runs nothing.
    virtual bool RadioButton1Checked() const = 0;
    virtual void SetRadioButton1Checked(bool checked) = 0;
    virtual bool RadioButton2Checked() const = 0;
    virtual void SetRadioButton2Checked(bool checked) = 0;
    // Enables or disables both radio buttons.
    virtual void SetRadioButtonsEnabled(bool enabled) = 0;

    // DateTimePicker1's time of day (its date part is not ours).
    virtual TimeOfDay PickerTime() const = 0;
    virtual void SetPickerTime(const TimeOfDay& time) = 0;

    // Edit1, the minutes field: the text as the masked field holds it
    // (a blank in each empty position); setting passes through the mask.
    virtual std::string Edit1Text() const = 0;
    virtual void SetEdit1Text(const std::string& text) = 0;

    // ExcludedTypes, the ";"-separated extension list.
    virtual std::string ExcludedTypes() const = 0;
    virtual void SetExcludedTypes(const std::string& types) = 0;

    // The main window's position in screen pixels, used unchecked.
    virtual int WindowLeft() const = 0;
    virtual int WindowTop() const = 0;
    virtual void SetWindowLeft(int left) = 0;
    virtual void SetWindowTop(int top) = 0;

    // The last step of the load: arm the schedule from the loaded values
    // (Scheduler::ArmAtLoad). May throw "Not enough timers available".
    virtual void ArmSchedule() = 0;
};

}  // namespace pelvane
