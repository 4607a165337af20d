#pragma once
// Path pieces by the runtime's rules: backslash and colon are the delimiters.
// Each comes in the code page (the program's texts) and in UTF-16 (the
// engine's paths).
#include <string>

namespace pelvane {

// Up to and including the last backslash or colon ("" when there is none).
std::string ExtractFilePath(const std::string& path);
std::wstring ExtractFilePath(const std::wstring& path);
// The folder part: as ExtractFilePath, without a last backslash unless it
// follows a colon or another backslash (E:\Save\a.txt -> E:\Save, E:\a.txt -> E:\).
std::string ExtractFileDir(const std::string& path);
std::wstring ExtractFileDir(const std::wstring& path);
// From the last point on, when no backslash or colon follows it; else "".
std::string ExtractFileExt(const std::string& path);
std::wstring ExtractFileExt(const std::wstring& path);
std::string IncludeTrailingBackslash(const std::string& path);
std::wstring IncludeTrailingBackslash(const std::wstring& path);
std::string ExcludeTrailingBackslash(const std::string& path);
std::wstring ExcludeTrailingBackslash(const std::wstring& path);

}  // namespace pelvane
