#pragma once
// The autostart entry: the value "Pelvane" under the current user's Run key,
// written or deleted as the last step of saving the settings.
#include <windows.h>

#include <string>

namespace pelvane {

// The same key both ways; the delete path carries a trailing backslash.
constexpr const char* kRunKeyWrite = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunKeyDelete = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\";
constexpr const char* kAutostartValue = "Pelvane";

// The running program's full path by its true name, in its own case.
std::wstring ExecutablePath();

// What the entry holds: the path in double quotes. Unquoted, a path with a
// blank ("C:\Users\Anna Kovács\...") is first tried as "C:\Users\Anna.exe".
std::wstring AutostartCommand(const std::wstring& executable = ExecutablePath());

// Whether an entry's value starts this program: the quoted form, or the bare
// path an earlier version wrote (also in the code page, as it then stored
// it). Letter case does not count, as for any Windows path.
bool AutostartValueNames(const std::wstring& value, const std::wstring& executable = ExecutablePath());

// The root key the Run key is reached from: HKEY_CURRENT_USER. Tests put a
// scratch key of their own in its place, so that no test run changes the
// user's real entry (an installed copy's autostart).
HKEY AutostartRoot();
void SetAutostartRoot(HKEY root);

// Checked: write the entry with AutostartCommand (the result is not looked
// at; "Failed to set data for 'Pelvane'" escapes). Unchecked: delete it, silently.
void ApplyAutostartEntry(bool checked);

// At start-up with autostart on: an entry that names this program in an
// older form is written again in the quoted one, so that a program that
// lives in the notification area and is never closed does not keep it.
// An entry naming another program, or none, waits for the next save.
// Never throws; true when it wrote.
bool RenewAutostartEntry() noexcept;

}  // namespace pelvane
