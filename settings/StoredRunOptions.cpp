#include "settings/StoredRunOptions.h"

#include <algorithm>

#include "settings/IniFile.h"
#include "settings/SettingsKeys.h"

namespace pelvane {

StoredRunOptions ReadStoredRunOptions(const std::wstring& iniPath) {
    using namespace keys;
    IniFile ini(iniPath, IniFile::Access::ReadOnly);
    StoredRunOptions o;
    o.method = std::clamp(ini.ReadInteger(kDefaults, kMode, kModeDefault), -1, 2);
    o.clearArchiveFlag = ini.ReadBool(kDefaults, kDelArchived, kDelArchivedDefault);
    o.excludedTypes = ini.ReadString(kDefaults, kNoFile, kNoFileDefault);
    o.versionDays = StoredCount(ini.ReadInteger(kDefaults, kVersionDays, kVersionDaysDefault),
                                kVersionDaysDefault, kVersionDaysMax);
    o.changeGuard = StoredCount(ini.ReadInteger(kDefaults, kChangeGuard, kChangeGuardDefault),
                                kChangeGuardDefault, kChangeGuardMax);
    return o;
}

}  // namespace pelvane
