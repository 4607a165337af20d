#pragma once
// Path pieces by the runtime's rules: backslash and colon are the delimiters.
#include <string>

namespace pelvane {

// Up to and including the last backslash or colon ("" when there is none).
std::string ExtractFilePath(const std::string& path);
// The folder part: as ExtractFilePath, without a last backslash unless it
// follows a colon or another backslash (E:\Save\a.txt -> E:\Save, E:\a.txt -> E:\).
std::string ExtractFileDir(const std::string& path);
// From the last point on, when no backslash or colon follows it; else "".
std::string ExtractFileExt(const std::string& path);
std::string IncludeTrailingBackslash(const std::string& path);
std::string ExcludeTrailingBackslash(const std::string& path);

}  // namespace pelvane
