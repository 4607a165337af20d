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

// The running program's full path as the system reports it, in its own case.
std::string ExecutablePath();

// The root key the Run key is reached from: HKEY_CURRENT_USER. Tests put a
// scratch key of their own in its place, so that no test run changes the
// user's real entry (an installed copy's autostart).
HKEY AutostartRoot();
void SetAutostartRoot(HKEY root);

// Checked: write the entry with ExecutablePath (the result is not looked at;
// "Failed to set data for 'Pelvane'" escapes). Unchecked: delete it, silently.
void ApplyAutostartEntry(bool checked);

}  // namespace pelvane
