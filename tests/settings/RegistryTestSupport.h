#pragma once
// Looks at values in the (Wine prefix's) real registry.
#include <windows.h>

#include <optional>
#include <string>

namespace pelvane::test {

struct RegValue {
    DWORD type = 0;
    std::string bytes;  // as stored, terminating zero included
};

inline std::optional<RegValue> QueryRegValue(HKEY root, const std::string& key, const std::string& name) {
    HKEY h;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return std::nullopt;
    char data[1024];
    DWORD size = sizeof data, type = 0;
    LONG rc = RegQueryValueExA(h, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(h);
    if (rc != ERROR_SUCCESS) return std::nullopt;
    return RegValue{type, std::string(data, size)};
}

inline bool RegKeyExists(HKEY root, const std::string& key) {
    HKEY h;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
}

}  // namespace pelvane::test
