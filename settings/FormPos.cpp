// LoadFormPos and SaveFormPos of Seged: a dialog's screen position in the
// settings file, in the section named after the form.
#include "common/Seged.h"
#include "settings/IniFile.h"

namespace pelvane {

void LoadFormPos(const std::string& section, int& left, int& top) {
    IniFile ini(SettingsFilePath());
    left = ini.ReadInteger(section, "Left", 10);
    top = ini.ReadInteger(section, "Top", 10);
}

void SaveFormPos(const std::string& section, int left, int top) {
    IniFile ini(SettingsFilePath());
    ini.WriteInteger(section, "Left", left);
    ini.WriteInteger(section, "Top", top);
}

}  // namespace pelvane
