#pragma once
// A registry accessor made for one call: a root key and at most one open key.
#include <windows.h>

#include <string>

#include "settings/SettingsError.h"
#include "common/Handles.h"

namespace pelvane {

class RegistryAccessor {
  public:
    explicit RegistryAccessor(HKEY root = HKEY_CURRENT_USER) : root_(root) {}

    void SetRootKey(HKEY root);
    // A path with a leading backslash counts from the root key; any other from
    // the open key, or from the root when none is open. True when it opened.
    bool OpenKey(const std::string& path, bool create);
    // A REG_SZ value with its terminating zero; throws ESettingsError
    // "Failed to set data for '<name>'" when the system refuses it.
    void WriteString(const std::string& name, const std::string& value);
    // The same from UTF-16: a path outside the code page is kept exactly.
    void WriteString(const std::string& name, const std::wstring& value);
    // Silent when the value or the open key is missing.
    void DeleteValue(const std::string& name);
    void CloseKey() { current_.reset(); }

  private:
    HKEY root_;
    RegKeyHandle current_;
};

// WriteRegString and DeleteRegValue of Seged, through an accessor made for
// the call. Write creates the key; delete never does and says nothing.
bool WriteRegString(HKEY root, const std::string& key, const std::string& name, const std::string& value);
bool WriteRegString(HKEY root, const std::string& key, const std::string& name, const std::wstring& value);
void DeleteRegValue(HKEY root, const std::string& key, const std::string& name);

}  // namespace pelvane
