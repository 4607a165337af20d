#include "settings/Autostart.h"

#include <windows.h>

#include "common/Seged.h"
#include "settings/RegistryAccessor.h"

namespace pelvane {
namespace {

HKEY g_autostartRoot = HKEY_CURRENT_USER;

}  // namespace

HKEY AutostartRoot() {
    return g_autostartRoot;
}

void SetAutostartRoot(HKEY root) {
    g_autostartRoot = root;
}

std::string ExecutablePath() {
    char path[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n);
}

void ApplyAutostartEntry(bool checked) {
    if (checked)
        WriteRegString(g_autostartRoot, kRunKeyWrite, kAutostartValue, ExecutablePath());
    else
        DeleteRegValue(g_autostartRoot, kRunKeyDelete, kAutostartValue);
}

}  // namespace pelvane
