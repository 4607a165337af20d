#pragma once
// A registry key of a test's own, under HKCU\Software\PelvaneTest, removed
// with everything below it when it goes out of scope. It stands for
// HKEY_CURRENT_USER as the root of the autostart entry.
#include <windows.h>

#include <stdexcept>
#include <string>

namespace pelvane::test {

class ScratchKey {
  public:
    // The key's name is name, followed by the process id unless told otherwise
    // (a key that another program is built to use).
    explicit ScratchKey(const std::string& name, bool withProcessId = true)
        : path_("Software\\PelvaneTest\\" + name +
                (withProcessId ? "-" + std::to_string(GetCurrentProcessId()) : std::string())) {
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
        // Without the key a test would read and write the real HKEY_CURRENT_USER.
        const LONG rc = RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        KEY_ALL_ACCESS, nullptr, &key_, nullptr);
        if (rc != ERROR_SUCCESS)
            throw std::runtime_error("cannot create HKCU\\" + path_ + ": error " + std::to_string(rc));
    }
    ~ScratchKey() {
        if (key_) RegCloseKey(key_);
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\PelvaneTest");  // when no other test holds a key there
    }
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    HKEY get() const { return key_; }
    // Below HKEY_CURRENT_USER, without a leading backslash.
    const std::string& Path() const { return path_; }

    // The stored bytes of a REG_SZ value below the key, terminating zero
    // included; "<missing>" when there is no such value or key, and the
    // failure itself ("<error 5>", "<type 4>") when it cannot be read as one.
    std::string String(const std::string& subKey, const std::string& name) const {
        char data[1024];
        DWORD size = sizeof data, type = 0;
        const LONG rc =
            RegGetValueA(key_, subKey.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, data, &size);
        if (rc == ERROR_FILE_NOT_FOUND) return "<missing>";
        if (rc != ERROR_SUCCESS) return "<error " + std::to_string(rc) + ">";
        if (type != REG_SZ) return "<type " + std::to_string(type) + ">";
        return std::string(data, size);
    }

    // The same in UTF-16, as the system keeps it; L"<missing>" when there is none.
    std::wstring WideString(const std::string& subKey, const std::string& name) const {
        const std::wstring sub(subKey.begin(), subKey.end()), value(name.begin(), name.end());  // ASCII
        wchar_t data[1024];
        DWORD size = sizeof data, type = 0;
        if (RegGetValueW(key_, sub.c_str(), value.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, data, &size) !=
                ERROR_SUCCESS ||
            type != REG_SZ)
            return L"<missing>";
        return std::wstring(data, size / sizeof(wchar_t));
    }

  private:
    std::string path_;
    HKEY key_ = nullptr;
};

// The Run key below a root, as the autostart entry reaches it.
constexpr const char* kRunSubKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

}  // namespace pelvane::test
