#include "common/Paths.h"

namespace pelvane {

std::string ExtractFilePath(const std::string& path) {
    size_t i = path.find_last_of("\\:");
    return i == std::string::npos ? std::string() : path.substr(0, i + 1);
}

std::string ExtractFileDir(const std::string& path) {
    size_t i = path.find_last_of("\\:");
    if (i == std::string::npos) return {};
    if (i > 0 && path[i] == '\\' && path[i - 1] != ':' && path[i - 1] != '\\') return path.substr(0, i);
    return path.substr(0, i + 1);
}

std::string ExtractFileExt(const std::string& path) {
    size_t i = path.find_last_of(".\\:");
    return i != std::string::npos && path[i] == '.' ? path.substr(i) : std::string();
}

std::string IncludeTrailingBackslash(const std::string& path) {
    return !path.empty() && path.back() == '\\' ? path : path + '\\';
}

std::string ExcludeTrailingBackslash(const std::string& path) {
    return !path.empty() && path.back() == '\\' ? path.substr(0, path.size() - 1) : path;
}

}  // namespace pelvane
