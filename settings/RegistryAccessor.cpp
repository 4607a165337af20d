#include "settings/RegistryAccessor.h"

#include "common/Text.h"

namespace pelvane {

void RegistryAccessor::SetRootKey(HKEY root) {
    CloseKey();
    root_ = root;
}

bool RegistryAccessor::OpenKey(const std::string& path, bool create) {
    bool absolute = !path.empty() && path[0] == '\\';
    std::string sub = absolute ? path.substr(1) : path;
    HKEY base = absolute || !current_ ? root_ : current_.get();
    HKEY key = nullptr;
    LONG rc = create ? RegCreateKeyExA(base, sub.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                       nullptr, &key, nullptr)
                     : RegOpenKeyExA(base, sub.c_str(), 0, KEY_ALL_ACCESS, &key);
    if (rc != ERROR_SUCCESS) return false;
    current_.reset(key);
    return true;
}

void RegistryAccessor::WriteString(const std::string& name, const std::string& value) {
    LONG rc = current_ ? RegSetValueExA(current_.get(), name.c_str(), 0, REG_SZ,
                                        reinterpret_cast<const BYTE*>(value.c_str()),
                                        static_cast<DWORD>(value.size() + 1))
                       : ERROR_INVALID_HANDLE;
    if (rc != ERROR_SUCCESS) throw ESettingsError("Failed to set data for '" + name + "'");
}

void RegistryAccessor::WriteString(const std::string& name, const std::wstring& value) {
    const std::wstring wideName = AnsiToWide(name);
    LONG rc = current_ ? RegSetValueExW(current_.get(), wideName.c_str(), 0, REG_SZ,
                                        reinterpret_cast<const BYTE*>(value.c_str()),
                                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)))
                       : ERROR_INVALID_HANDLE;
    if (rc != ERROR_SUCCESS) throw ESettingsError("Failed to set data for '" + name + "'");
}

void RegistryAccessor::DeleteValue(const std::string& name) {
    if (current_) RegDeleteValueA(current_.get(), name.c_str());
}

namespace {

template <typename String>
bool WriteValue(HKEY root, const std::string& key, const std::string& name, const String& value) {
    RegistryAccessor reg;
    reg.SetRootKey(root);
    if (!reg.OpenKey(key, true)) return false;
    reg.WriteString(name, value);  // the key closes also when this throws
    return true;
}

}  // namespace

bool WriteRegString(HKEY root, const std::string& key, const std::string& name, const std::string& value) {
    return WriteValue(root, key, name, value);
}

bool WriteRegString(HKEY root, const std::string& key, const std::string& name, const std::wstring& value) {
    return WriteValue(root, key, name, value);
}

void DeleteRegValue(HKEY root, const std::string& key, const std::string& name) {
    RegistryAccessor reg;
    reg.SetRootKey(root);
    reg.OpenKey(key, false);
    reg.DeleteValue(name);
}

}  // namespace pelvane
