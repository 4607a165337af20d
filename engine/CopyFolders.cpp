#include "engine/CopyFolders.h"

#include "common/Paths.h"

namespace pelvane {

std::wstring CopyFolder(FileSystem& fs, const std::wstring& source, const std::wstring& target) {
    const std::wstring sourceLong = ExcludeTrailingBackslash(fs.LongForm(IncludeTrailingBackslash(source)));
    return fs.LongForm(IncludeTrailingBackslash(target)) +
           sourceLong.substr(sourceLong.find_last_of(L'\\') + 1);
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
