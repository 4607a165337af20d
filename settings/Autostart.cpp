#include "settings/Autostart.h"

#include <windows.h>

#include "common/Seged.h"

namespace pelvane {

std::string ExecutablePath() {
    char path[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n);
}

void ApplyAutostartEntry(bool checked) {
    if (checked)
        WriteRegString(HKEY_CURRENT_USER, kRunKeyWrite, kAutostartValue, ExecutablePath());
    else
        DeleteRegValue(HKEY_CURRENT_USER, kRunKeyDelete, kAutostartValue);
}

}  // namespace pelvane
