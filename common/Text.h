#pragma once
// Conversions between the program's ANSI texts (code page 1250) and UTF-8.
#include <string>

namespace pelvane {

constexpr unsigned kAnsiCodePage = 1250;

std::string AnsiToUtf8(const std::string& ansi);
std::string Utf8ToAnsi(const std::string& utf8);
std::wstring AnsiToWide(const std::string& ansi);

// Lower-cases A-Z only: the rule for comparing file extensions.
std::string AsciiLower(std::string s);

// The system's text for an error code, as the runtime shows it: trailing
// blanks, control characters and points cut.
std::string SysErrorMessage(unsigned long code);

}  // namespace pelvane
