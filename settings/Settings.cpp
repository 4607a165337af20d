#include "settings/Settings.h"

#include <algorithm>

#include "settings/Autostart.h"
#include "settings/IniFile.h"
#include "settings/SettingsKeys.h"

namespace pelvane {

using namespace keys;

void LoadSettings(SettingsHolders& h, const std::wstring& path, TimeOfDay (*clock)()) {
    IniFile ini(path);
    h.SetExcludedTypes(ini.ReadString(kDefaults, kNoFile, kNoFileDefault));
    h.SetAutoStart(ini.ReadBool(kDefaults, kAutoStart, kAutoStartDefault));
    // The method clamps: below -1 chooses none, above 2 the last one.
    h.SetMethod(std::clamp(ini.ReadInteger(kDefaults, kMode, kModeDefault), -1, 2));
    h.SetClearArchiveFlag(ini.ReadBool(kDefaults, kDelArchived, kDelArchivedDefault));
    h.SetDailyRun(ini.ReadBool(kDefaults, kArchivePerDay, kArchivePerDayDefault));
    h.SetContinuousRun(ini.ReadBool(kDefaults, kAutoArchive, kAutoArchiveDefault));
    h.SetScheduleChoiceEnabled(h.AutoStart());
    TimeOfDay now = clock();
    h.SetDailyTime(ini.ReadTime(kDefaults, kTime, now));
    h.SetIntervalText(ini.ReadString(kDefaults, kAutoTime, kAutoTimeDefault));
    h.SetVersionDays(StoredCount(ini.ReadInteger(kDefaults, kVersionDays, kVersionDaysDefault),
                                 kVersionDaysDefault, kVersionDaysMax));
    h.SetChangeGuard(StoredCount(ini.ReadInteger(kDefaults, kChangeGuard, kChangeGuardDefault),
                                 kChangeGuardDefault, kChangeGuardMax));
    h.SetWindowLeft(ini.ReadInteger(kScreen, kLeft, kPositionDefault));
    h.SetWindowTop(ini.ReadInteger(kScreen, kTop, kPositionDefault));
    h.ArmSchedule();
}

void SaveSettings(const SettingsHolders& h, const std::wstring& path) {
    IniFile ini(path);
    ini.WriteBool(kDefaults, kAutoStart, h.AutoStart());
    ini.WriteInteger(kDefaults, kMode, h.Method());
    ini.WriteBool(kDefaults, kDelArchived, h.ClearArchiveFlag());
    ini.WriteBool(kDefaults, kArchivePerDay, h.DailyRun());
    ini.WriteBool(kDefaults, kAutoArchive, h.ContinuousRun());
    ini.WriteInteger(kScreen, kLeft, h.WindowLeft());
    ini.WriteInteger(kScreen, kTop, h.WindowTop());
    ini.WriteTime(kDefaults, kTime, h.DailyTime());
    ini.WriteString(kDefaults, kAutoTime, h.IntervalText());
    ini.WriteString(kDefaults, kNoFile, h.ExcludedTypes());
    // Last, so a new file lists them after the keys of earlier versions.
    // LastDaily stays where it stands: the run's record, never this save's.
    ini.WriteInteger(kDefaults, kVersionDays, h.VersionDays());
    ini.WriteInteger(kDefaults, kChangeGuard, h.ChangeGuard());
    ApplyAutostartEntry(h.AutoStart());
}

std::string ReadLastDailyRun(const std::wstring& path) {
    return IniFile(path, IniFile::Access::ReadOnly).ReadString(kDefaults, kLastDaily, "");
}

bool WriteLastDailyRun(const std::wstring& path, const std::string& moment) noexcept {
    try {
        IniFile(path).WriteString(kDefaults, kLastDaily, moment);
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace pelvane
