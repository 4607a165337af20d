#include "common/Paths.h"

namespace pelvane {
namespace {

template <typename String>
String FilePath(const String& path) {
    using C = typename String::value_type;
    const C delimiters[] = {C('\\'), C(':'), C(0)};
    size_t i = path.find_last_of(delimiters);
    return i == String::npos ? String() : path.substr(0, i + 1);
}

template <typename String>
String FileDir(const String& path) {
    using C = typename String::value_type;
    const C delimiters[] = {C('\\'), C(':'), C(0)};
    size_t i = path.find_last_of(delimiters);
    if (i == String::npos) return {};
    if (i > 0 && path[i] == C('\\') && path[i - 1] != C(':') && path[i - 1] != C('\\'))
        return path.substr(0, i);
    return path.substr(0, i + 1);
}

template <typename String>
String FileExt(const String& path) {
    using C = typename String::value_type;
    const C delimiters[] = {C('.'), C('\\'), C(':'), C(0)};
    size_t i = path.find_last_of(delimiters);
    return i != String::npos && path[i] == C('.') ? path.substr(i) : String();
}

template <typename String>
String WithBackslash(const String& path) {
    using C = typename String::value_type;
    return !path.empty() && path.back() == C('\\') ? path : path + C('\\');
}

template <typename String>
String WithoutBackslash(const String& path) {
    using C = typename String::value_type;
    return !path.empty() && path.back() == C('\\') ? path.substr(0, path.size() - 1) : path;
}

}  // namespace

std::string ExtractFilePath(const std::string& path) {
    return FilePath(path);
}
std::wstring ExtractFilePath(const std::wstring& path) {
    return FilePath(path);
}
std::string ExtractFileDir(const std::string& path) {
    return FileDir(path);
}
std::wstring ExtractFileDir(const std::wstring& path) {
    return FileDir(path);
}
std::string ExtractFileExt(const std::string& path) {
    return FileExt(path);
}
std::wstring ExtractFileExt(const std::wstring& path) {
    return FileExt(path);
}
std::string IncludeTrailingBackslash(const std::string& path) {
    return WithBackslash(path);
}
std::wstring IncludeTrailingBackslash(const std::wstring& path) {
    return WithBackslash(path);
}
std::string ExcludeTrailingBackslash(const std::string& path) {
    return WithoutBackslash(path);
}
std::wstring ExcludeTrailingBackslash(const std::wstring& path) {
    return WithoutBackslash(path);
}

}  // namespace pelvane
