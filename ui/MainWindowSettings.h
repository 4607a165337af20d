#pragma once
// The main window's options as the settings load and save see them: the
// controls that hold them between the two, the exclusion list, and the
// window's position.
#include <string>

#include "settings/SettingsHolders.h"
#include "settings/SettingsKeys.h"

namespace pelvane {

class Tfrm_Main;

class MainWindowSettings : public SettingsHolders {
  public:
    // The window's controls are looked up when the settings use them.
    explicit MainWindowSettings(Tfrm_Main& window) : window_(window) {}

    bool AutoStart() const override;
    void SetAutoStart(bool on) override;
    int Method() const override;
    void SetMethod(int method) override;
    bool ClearArchiveFlag() const override;
    void SetClearArchiveFlag(bool on) override;
    bool DailyRun() const override;
    void SetDailyRun(bool on) override;
    bool ContinuousRun() const override;
    void SetContinuousRun(bool on) override;
    void SetScheduleChoiceEnabled(bool enabled) override;
    TimeOfDay DailyTime() const override;
    void SetDailyTime(const TimeOfDay& time) override;
    std::string IntervalText() const override;
    void SetIntervalText(const std::string& text) override;
    // ExcludedTypes lives here from the load to the save: no control holds it.
    std::string ExcludedTypes() const override { return excludedTypes_; }
    void SetExcludedTypes(const std::string& types) override { excludedTypes_ = types; }
    // The two count fields of "Védelem". Their text stands for a number up
    // to the limit; a field with no number in it stands for the last number
    // it showed.
    int VersionDays() const override;
    void SetVersionDays(int days) override;
    int ChangeGuard() const override;
    void SetChangeGuard(int percent) override;
    // A count field's text changed: a number in it is the one to keep.
    void CountFieldChanged(int id);
    // The user leaves a count field: it shows the number it stands for (a
    // number above the limit becomes the limit; no number, the last one),
    // as a spin box of Windows corrects itself.
    void CountFieldLeft(int id);
    int WindowLeft() const override;
    int WindowTop() const override;
    void SetWindowLeft(int left) override;
    void SetWindowTop(int top) override;
    void ArmSchedule() override;

  private:
    HWND Control(int id) const;
    // One of the two kinds of schedule: choosing it unchooses the other and
    // then runs its rule.
    void SetSchedule(bool on, int button, int other, void (*chosen)(SettingsHolders& holders));
    // The picker's time, or the clock's when it holds none.
    SYSTEMTIME PickerTime() const;
    // A count field by its control id: its limit and the last number it showed.
    int CountMax(int id) const;
    int& Held(int id);
    int Count(int id, int held) const;
    void SetCount(int id, int value);

    Tfrm_Main& window_;
    std::string excludedTypes_;
    int versionDays_ = keys::kVersionDaysDefault;
    int changeGuard_ = keys::kChangeGuardDefault;
};

}  // namespace pelvane
