#pragma once
// What the settings load and save need of the main window: the options it
// holds between the load and the save. The main window implements it; tests
// give a fake.
#include <string>

#include "settings/TimeFormat.h"

namespace pelvane {

class SettingsHolders {
  public:
    virtual ~SettingsHolders() = default;

    // "Automatikus indítás Windows indításakor": start at logon and arm the
    // schedule. Setting a state that differs from the current one runs
    // Scheduler::AutoStartChanged.
    virtual bool AutoStart() const = 0;
    virtual void SetAutoStart(bool on) = 0;

    // The copy method "Módszer": 0..2, -1 when none is chosen. The load
    // passes values already clamped to -1..2.
    virtual int Method() const = 0;
    virtual void SetMethod(int method) = 0;

    // "Archív jelző törlése másolás után".
    virtual bool ClearArchiveFlag() const = 0;
    virtual void SetClearArchiveFlag(bool on) = 0;

    // The two kinds of schedule, a choice of one: daily and continuous.
    // Choosing one that was not chosen unchooses the other and then runs its
    // rule (Scheduler::DailyChosen / ContinuousChosen); unchoosing runs nothing.
    virtual bool DailyRun() const = 0;
    virtual void SetDailyRun(bool on) = 0;
    virtual bool ContinuousRun() const = 0;
    virtual void SetContinuousRun(bool on) = 0;
    // Whether the user can choose between the two.
    virtual void SetScheduleChoiceEnabled(bool enabled) = 0;

    // The daily run's time of day.
    virtual TimeOfDay DailyTime() const = 0;
    virtual void SetDailyTime(const TimeOfDay& time) = 0;

    // The continuous run's interval in minutes: the text as the masked field
    // holds it (a blank in each empty position); setting passes through the mask.
    virtual std::string IntervalText() const = 0;
    virtual void SetIntervalText(const std::string& text) = 0;

    // ExcludedTypes, the ";"-separated extension list.
    virtual std::string ExcludedTypes() const = 0;
    virtual void SetExcludedTypes(const std::string& types) = 0;

    // "Régi változatok megőrzése": days a replaced copy is kept, 0 (none) to
    // keys::kVersionDaysMax. The load passes values already in that range.
    virtual int VersionDays() const = 0;
    virtual void SetVersionDays(int days) = 0;
    // The change guard's percentage, 0 (off) to keys::kChangeGuardMax.
    virtual int ChangeGuard() const = 0;
    virtual void SetChangeGuard(int percent) = 0;

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
