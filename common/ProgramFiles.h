#pragma once
// The files the program keeps in its folder, each named here once. The
// folder is AppDir, or the one the caller stands in for it (the main window
// is handed one; the tests use folders of their own). Paths are wide: the
// folder may lie outside the code page.
#include <string>

#include "common/Paths.h"
#include "common/Seged.h"

namespace pelvane {

constexpr const wchar_t* kSettingsFileName = L"Pelvane.ini";
constexpr const wchar_t* kDatabaseFileName = L"Pelvane.sqb";
constexpr const wchar_t* kSqliteLibraryName = L"sqlite3.dll";
constexpr const wchar_t* kHelpPageName = L"pelvane.htm";
constexpr const wchar_t* kRunLogFileName = L"Pelvane.log";  // beside the settings file a run uses

// programDir, a backslash unless it ends in one, and the name.
inline std::wstring ProgramFilePath(const std::wstring& programDir, const wchar_t* name) {
    return IncludeTrailingBackslash(programDir) + name;
}

inline std::wstring SettingsFilePath(const std::wstring& programDir = AppDir()) {
    return ProgramFilePath(programDir, kSettingsFileName);
}
inline std::wstring SqliteLibraryPath(const std::wstring& programDir = AppDir()) {
    return ProgramFilePath(programDir, kSqliteLibraryName);
}
inline std::wstring HelpPagePath(const std::wstring& programDir = AppDir()) {
    return ProgramFilePath(programDir, kHelpPageName);
}
inline std::wstring RunLogFilePath(const std::wstring& programDir = AppDir()) {
    return ProgramFilePath(programDir, kRunLogFileName);
}

}  // namespace pelvane
