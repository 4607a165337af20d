#pragma once
// Conversions between the program's texts: its ANSI code page (1250), the
// UTF-8 of the database and the console, and the UTF-16 of the file system.
#include <string>
#include <string_view>

namespace pelvane {

constexpr unsigned kAnsiCodePage = 1250;

// To the code page, a character it lacks becomes "?", never a look-alike
// ("naïve" must not read as the name of a file "naive").
std::string AnsiToUtf8(const std::string& ansi);
std::string Utf8ToAnsi(const std::string& utf8);
std::wstring AnsiToWide(const std::string& ansi);
std::string WideToAnsi(std::wstring_view wide);
std::wstring Utf8ToWide(const std::string& utf8);
std::string WideToUtf8(std::wstring_view wide);

// A compact, lossless form of UTF-16 text for long in-memory lists: UTF-8,
// extended to carry the unpaired surrogates a Windows name may hold.
void AppendCompact(std::string& out, std::wstring_view text);
void AppendFromCompact(std::wstring& out, std::string_view compact);

// Without the blanks and control characters at either end.
std::string Trim(const std::string& s);

// Lower-cases A-Z only: the rule for comparing file extensions.
std::string AsciiLower(std::string s);
std::wstring AsciiLower(std::wstring s);

// The system's text for an error code, as the runtime shows it: trailing
// blanks, control characters and points cut.
std::string SysErrorMessage(unsigned long code);
std::wstring SysErrorMessageW(unsigned long code);

}  // namespace pelvane
