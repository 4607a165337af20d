#include "settings/Settings.h"

#include <algorithm>

#include "settings/Autostart.h"
#include "settings/IniFile.h"
#include "settings/SettingsKeys.h"

namespace pelvane {

using namespace keys;

void LoadSettings(SettingsHolders& h, const std::string& path, TimeOfDay (*clock)()) {
    IniFile ini(path);
    h.SetExcludedTypes(ini.ReadString(kDefaults, kNoFile, kNoFileDefault));
    h.SetCheckBox1Checked(ini.ReadBool(kDefaults, kAutoStart, kAutoStartDefault));
    // The radio group clamps: below -1 selects nothing, above 2 the last item.
    h.SetRadioGroup1Index(std::clamp(ini.ReadInteger(kDefaults, kMode, kModeDefault), -1, 2));
    h.SetCheckBox4Checked(ini.ReadBool(kDefaults, kDelArchived, kDelArchivedDefault));
    h.SetRadioButton1Checked(ini.ReadBool(kDefaults, kArchivePerDay, kArchivePerDayDefault));
    h.SetRadioButton2Checked(ini.ReadBool(kDefaults, kAutoArchive, kAutoArchiveDefault));
    h.SetRadioButtonsEnabled(h.CheckBox1Checked());
    TimeOfDay now = clock();
    h.SetPickerTime(ini.ReadTime(kDefaults, kTime, now));
    h.SetEdit1Text(ini.ReadString(kDefaults, kAutoTime, kAutoTimeDefault));
    h.SetWindowLeft(ini.ReadInteger(kScreen, kLeft, kPositionDefault));
    h.SetWindowTop(ini.ReadInteger(kScreen, kTop, kPositionDefault));
    h.ArmSchedule();
}

void SaveSettings(const SettingsHolders& h, const std::string& path) {
    IniFile ini(path);
    ini.WriteBool(kDefaults, kAutoStart, h.CheckBox1Checked());
    ini.WriteInteger(kDefaults, kMode, h.RadioGroup1Index());
    ini.WriteBool(kDefaults, kDelArchived, h.CheckBox4Checked());
    ini.WriteBool(kDefaults, kArchivePerDay, h.RadioButton1Checked());
    ini.WriteBool(kDefaults, kAutoArchive, h.RadioButton2Checked());
    ini.WriteInteger(kScreen, kLeft, h.WindowLeft());
    ini.WriteInteger(kScreen, kTop, h.WindowTop());
    ini.WriteTime(kDefaults, kTime, h.PickerTime());
    ini.WriteString(kDefaults, kAutoTime, h.Edit1Text());
    ini.WriteString(kDefaults, kNoFile, h.ExcludedTypes());
    ApplyAutostartEntry(h.CheckBox1Checked());
}

std::string ReadLastDailyRun(const std::string& path) {
    return IniFile(path, IniFile::Access::ReadOnly).ReadString(kDefaults, kLastDaily, "");
}

bool WriteLastDailyRun(const std::string& path, const std::string& day) noexcept {
    try {
        IniFile(path).WriteString(kDefaults, kLastDaily, day);
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace pelvane
