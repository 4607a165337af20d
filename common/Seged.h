#pragma once
// Routines shared by several windows and by the engine.
#include <windows.h>

#include <cstdint>
#include <string>

#include "common/Variant.h"

namespace pelvane {

// The folder of the running executable by its true name, lower-cased,
// without its final backslash ("c:" for a program in a drive's root).
// Computed once. Wide: a folder outside the code page (a user "Hélène"
// installs under C:\Users\Hélène) has no name in it.
const std::wstring& AppDir();

// The full path of a module (the running program by default) by its true
// name and in its own case, however long; "" when the system gives none.
std::wstring ModuleFileName(HMODULE module = nullptr);

// Field n (from 1) of s, fields separated by sep; empty when there is none.
std::string GetToken(char sep, const std::string& s, int n);

// Packed DOS date and time of a file's last write in local time; -1 when the
// file cannot be opened or its time lies outside 1980..2107.
int32_t GetFileAge(const std::string& path);

// Null gives the empty string (0 for the integer form); other values their text.
std::string VariantToText(const Variant& v);
int32_t VariantToInt(const Variant& v);

// Delphi-style integer text: optional sign, decimal digits or hex after $, 0x
// or x; nothing may follow; 32-bit range. False when the text is no such number.
bool TryStrToInt(const std::string& text, int32_t& value);

// The routines of Seged that belong to a layer above live there:
// StrToIntSafe (settings/StrToIntSafe.h), LoadFormPos and SaveFormPos
// (settings/FormPos.h), WriteRegString and DeleteRegValue
// (settings/RegistryAccessor.h), ShowError (ui/ErrorBox.h).

}  // namespace pelvane
