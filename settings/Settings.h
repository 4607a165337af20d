#pragma once
// The main window's settings load and save over Pelvane.ini.
#include <string>

#include "common/ProgramFiles.h"
#include "settings/SettingsHolders.h"

namespace pelvane {

// Reads every key into the holders in the fixed order and ends by arming the
// schedule. Never writes or creates the file. The clock gives the default of
// Time (the moment of loading). Lets "Not enough timers available" through.
void LoadSettings(SettingsHolders& holders, const std::wstring& path = SettingsFilePath(),
                  TimeOfDay (*clock)() = CurrentTimeOfDay);

// Writes every key from the holders in the fixed order, then the autostart
// entry. The first write that fails throws IniWriteError and the save stops
// there (later keys and the autostart entry are not written).
void SaveSettings(const SettingsHolders& holders, const std::wstring& path = SettingsFilePath());

// LastDaily as the file holds it: the moment the last daily run started
// ("yyyy.mm.dd hh:mm:ss"; earlier versions wrote the day alone), "" when
// none is recorded.
std::string ReadLastDailyRun(const std::wstring& path);
// Records it as the run starts; false when the file cannot be written (the
// run goes on all the same).
bool WriteLastDailyRun(const std::wstring& path, const std::string& moment) noexcept;

}  // namespace pelvane
