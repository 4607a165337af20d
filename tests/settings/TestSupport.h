#pragma once
// Test helpers: a scratch folder, raw file bytes, registry values.
#include <windows.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace pelvane::test {

// A fresh folder under the temporary path, removed with its files.
class TestFolder {
  public:
    TestFolder() {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        static int counter = 0;
        path_ = std::string(temp) + "pelvane-settings-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++counter);
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~TestFolder() {  // the tests make only Pelvane.ini and a.ini here
        for (const char* name : {"Pelvane.ini", "a.ini"}) DeleteFileA(File(name).c_str());
        RemoveDirectoryA(path_.c_str());
    }
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

  private:
    std::string path_;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

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
