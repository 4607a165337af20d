#include "engine/CopyFolders.h"

#include "common/Paths.h"
#include "engine/VersionName.h"

namespace pelvane {

namespace {

std::wstring LastFolderName(FileSystem& fs, const std::wstring& source) {
    const std::wstring sourceLong = ExcludeTrailingBackslash(fs.LongForm(IncludeTrailingBackslash(source)));
    return sourceLong.substr(sourceLong.find_last_of(L'\\') + 1);
}

}  // namespace

std::wstring CopyFolder(FileSystem& fs, const std::wstring& source, const std::wstring& target) {
    return fs.LongForm(IncludeTrailingBackslash(target)) + LastFolderName(fs, source);
}

std::wstring VersionFolder(FileSystem& fs, const std::wstring& source, const std::wstring& target) {
    return fs.LongForm(IncludeTrailingBackslash(target)) + kVersionFolderName + L"\\" +
           LastFolderName(fs, source);
}

bool IsVersionFolderName(std::wstring_view name) {
    const std::wstring_view reserved = kVersionFolderName;
    return CompareStringOrdinal(name.data(), static_cast<int>(name.size()), reserved.data(),
                                static_cast<int>(reserved.size()), TRUE) == CSTR_EQUAL;
}

const CopyFolderClaims::Owner* CopyFolderClaims::Claim(const std::wstring& source,
                                                       const std::wstring& target) {
    if (source.empty() || target.empty()) return nullptr;
    const std::wstring folder = CopyFolder(fs_, source, target);
    auto [it, claimed] = owners_.try_emplace(folder);
    if (!claimed) return &it->second;
    it->second = {source + L" >> " + target, fs_.FullPath(folder)};
    return nullptr;
}

}  // namespace pelvane
