#include "settings/Autostart.h"

#include <windows.h>

#include <vector>

#include "common/Seged.h"
#include "common/Text.h"
#include "settings/RegistryAccessor.h"

namespace pelvane {
namespace {

HKEY g_autostartRoot = HKEY_CURRENT_USER;

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() && !a.empty() &&
           CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

// The path as an earlier version stored it: through the system's code page,
// where a letter it lacks became a look-alike or "?".
std::wstring ThroughCodePage(const std::wstring& path) {
    const int len = static_cast<int>(path.size());
    const int n = WideCharToMultiByte(CP_ACP, 0, path.data(), len, nullptr, 0, nullptr, nullptr);
    std::string ansi(n, '\0');
    WideCharToMultiByte(CP_ACP, 0, path.data(), len, ansi.data(), n, nullptr, nullptr);
    const int m = MultiByteToWideChar(CP_ACP, 0, ansi.data(), n, nullptr, 0);
    std::wstring back(m, L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), n, back.data(), m);
    return back;
}

std::wstring TrimBlanks(const std::wstring& s) {
    const size_t first = s.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return {};
    return s.substr(first, s.find_last_not_of(L" \t") - first + 1);
}

// The Run value, "" when there is none (or it is no string).
std::wstring ReadRunValue() {
    const std::wstring key = AnsiToWide(kRunKeyWrite + 1), name = AnsiToWide(kAutostartValue);
    DWORD size = 0;
    if (RegGetValueW(g_autostartRoot, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &size) !=
            ERROR_SUCCESS ||
        size < sizeof(wchar_t))
        return {};
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (RegGetValueW(g_autostartRoot, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, data.data(),
                     &size) != ERROR_SUCCESS)
        return {};
    return data.data();
}

}  // namespace

HKEY AutostartRoot() {
    return g_autostartRoot;
}

void SetAutostartRoot(HKEY root) {
    g_autostartRoot = root;
}

std::wstring ExecutablePath() {
    return ModuleFileName();
}

std::wstring AutostartCommand(const std::wstring& executable) {
    return L"\"" + executable + L"\"";
}

bool AutostartValueNames(const std::wstring& value, const std::wstring& executable) {
    std::wstring path = TrimBlanks(value);
    if (!path.empty() && path.front() == L'"') {
        const size_t close = path.find(L'"', 1);
        if (close != path.size() - 1) return false;  // unclosed, or more follows
        return SamePath(path.substr(1, close - 1), executable);
    }
    return SamePath(path, executable) || SamePath(path, ThroughCodePage(executable));
}

void ApplyAutostartEntry(bool checked) {
    if (checked)
        WriteRegString(g_autostartRoot, kRunKeyWrite, kAutostartValue, AutostartCommand());
    else
        DeleteRegValue(g_autostartRoot, kRunKeyDelete, kAutostartValue);
}

bool RenewAutostartEntry() noexcept {
    try {
        const std::wstring value = ReadRunValue();
        const std::wstring command = AutostartCommand();
        if (value == command || !AutostartValueNames(value)) return false;
        return WriteRegString(g_autostartRoot, kRunKeyWrite, kAutostartValue, command);
    } catch (...) {
        return false;  // the save at the close writes it, and says so when it cannot
    }
}

}  // namespace pelvane
