#include "settings/FormPos.h"

#include "settings/IniFile.h"
#include "settings/SettingsKeys.h"

namespace pelvane {

void LoadFormPos(const std::string& section, int& left, int& top, const std::wstring& iniPath) {
    IniFile ini(iniPath);
    left = ini.ReadInteger(section, keys::kLeft, keys::kPositionDefault);
    top = ini.ReadInteger(section, keys::kTop, keys::kPositionDefault);
}

void SaveFormPos(const std::string& section, int left, int top, const std::wstring& iniPath) {
    IniFile ini(iniPath);
    ini.WriteInteger(section, keys::kLeft, left);
    ini.WriteInteger(section, keys::kTop, top);
}

}  // namespace pelvane
