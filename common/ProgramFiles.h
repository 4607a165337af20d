#pragma once
// The files the program keeps in its folder, each named here once. The
// folder is AppDir, or the one the caller stands in for it (the main window
// is handed one; the tests use folders of their own).
#include <string>

#include "common/Paths.h"
#include "common/Seged.h"

namespace pelvane {

constexpr const char* kSettingsFileName = "Pelvane.ini";
constexpr const char* kDatabaseFileName = "Pelvane.sqb";
constexpr const char* kSqliteLibraryName = "sqlite3.dll";
constexpr const char* kHelpPageName = "pelvane.htm";
constexpr const char* kRunLogFileName = "Pelvane.log";  // beside the settings file a run uses

// programDir, a backslash unless it ends in one, and the name.
inline std::string ProgramFilePath(const std::string& programDir, const char* name) {
    return IncludeTrailingBackslash(programDir) + name;
}

inline std::string SettingsFilePath(const std::string& programDir = AppDir()) {
    return ProgramFilePath(programDir, kSettingsFileName);
}
inline std::string SqliteLibraryPath(const std::string& programDir = AppDir()) {
    return ProgramFilePath(programDir, kSqliteLibraryName);
}
inline std::string HelpPagePath(const std::string& programDir = AppDir()) {
    return ProgramFilePath(programDir, kHelpPageName);
}
inline std::string RunLogFilePath(const std::string& programDir = AppDir()) {
    return ProgramFilePath(programDir, kRunLogFileName);
}

}  // namespace pelvane
