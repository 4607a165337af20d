#pragma once
// The run options a settings file holds, for the console program. Reading
// never writes, creates or flushes the file.
#include <string>

#include "settings/SettingsKeys.h"

namespace pelvane {

struct StoredRunOptions {
    // The copy method, clamped to -1..2 as the window does; -1 copies as 0.
    int method = keys::kModeDefault;
    bool clearArchiveFlag = keys::kDelArchivedDefault;
    std::string excludedTypes = keys::kNoFileDefault;
    // Days a replaced copy is kept (0: none) and the change guard's
    // percentage (0: off), in range as the window keeps them.
    int versionDays = keys::kVersionDaysDefault;
    int changeGuard = keys::kChangeGuardDefault;
};

// Missing file, section or key, or a value that does not parse: the defaults.
StoredRunOptions ReadStoredRunOptions(const std::wstring& iniPath);

}  // namespace pelvane
