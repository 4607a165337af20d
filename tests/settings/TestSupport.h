#pragma once
// Registry values for the settings tests (scratch folders and file bytes come
// from tests/support).
#include <windows.h>

#include <optional>
#include <string>

#include "tests/support/ScratchFolder.h"

namespace pelvane::test {

// The stored bytes of a REG_SZ value, terminating zero included; nothing
// when it is missing or of another type.
inline std::optional<std::string> RegString(const std::string& key, const std::string& name) {
    char data[1024];
    DWORD size = sizeof data, type = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, data,
                     &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    return std::string(data, size);
}

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

}  // namespace pelvane::test
