#pragma once
// LoadFormPos and SaveFormPos of Seged: a dialog's screen position in the
// settings file, in the section named after the form.
#include <string>

#include "common/ProgramFiles.h"

namespace pelvane {

// Keys Left and Top; 10 when missing. The settings file is the one of the
// program folder the caller works for.
void LoadFormPos(const std::string& section, int& left, int& top,
                 const std::wstring& iniPath = SettingsFilePath());
void SaveFormPos(const std::string& section, int left, int top,
                 const std::wstring& iniPath = SettingsFilePath());

}  // namespace pelvane
