#include "engine/TargetFolders.h"

#include <algorithm>
#include <vector>

#include "common/Exception.h"
#include "common/Paths.h"
#include "common/Text.h"

namespace pelvane {
namespace {

// The root of a long form (\\?\C: or \\?\UNC\server\share), above which no
// folder is made.
bool IsLongRoot(const std::wstring& folder) {
    const std::wstring unc = L"\\\\?\\UNC\\", local = L"\\\\?\\";
    if (folder.compare(0, unc.size(), unc) == 0)
        return std::count(folder.begin() + unc.size(), folder.end(), L'\\') <= 1;
    return folder.compare(0, local.size(), local) == 0 &&
           folder.find(L'\\', local.size()) == std::wstring::npos;
}

}  // namespace

std::wstring TargetFolders::TemporaryName(const std::wstring& folder, int n) {
    return folder + L"~pelvane" + (n ? std::to_wstring(n) : std::wstring()) + L".tmp";
}

bool TargetFolders::IsTemporaryName(const std::wstring& name) {
    const std::wstring lower = AsciiLower(name), prefix = L"~pelvane", suffix = L".tmp";
    if (lower.size() < prefix.size() + suffix.size() || lower.compare(0, prefix.size(), prefix) != 0 ||
        lower.compare(lower.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    const std::wstring number = lower.substr(prefix.size(), lower.size() - prefix.size() - suffix.size());
    return number.empty() ||
           (number.size() <= 2 && number[0] != L'0' &&
            std::all_of(number.begin(), number.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }));
}

void TargetFolders::Prepare(const std::wstring& folder) {
    // Files come folder by folder: look the folder up once, not per file.
    if (!Known(folder) && (Exists(folder) || MakeWithParents(folder, true))) made_ = folder;
    // What a run that was killed mid-copy left in this folder goes first.
    if (sweep_ == Sweep::StaleTemporaries && folder != swept_) {
        RemoveStaleTemporaries(folder);
        swept_ = folder;
    }
}

bool TargetFolders::Exists(const std::wstring& folder) {
    const uint32_t attributes = fs_.GetAttributes(folder);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// looked: the folder itself was just found missing (each look-up costs Wine
// a round trip to its server).
bool TargetFolders::MakeWithParents(std::wstring folder, bool looked) {
    if (folder.empty()) throw EInOutError("Unable to create directory");
    // Up to the first folder that is there, then the rest made downwards;
    // without recursion, as a long path may hold thousands of levels.
    std::vector<std::wstring> missing;
    for (folder = ExcludeTrailingBackslash(folder);
         folder.size() >= 3 && !IsLongRoot(folder) && ExtractFilePath(folder) != folder &&
         ((missing.empty() && looked) || !Exists(folder));
         folder = ExcludeTrailingBackslash(ExtractFilePath(folder)))
        missing.push_back(folder);
    for (auto it = missing.rbegin(); it != missing.rend(); ++it)
        if (!fs_.CreateFolder(*it)) return false;
    return true;
}

void TargetFolders::RemoveStaleTemporaries(const std::wstring& folder) {
    const std::wstring path = IncludeTrailingBackslash(folder);
    std::vector<FoundEntry> entries;
    DWORD error = 0;
    fs_.Enumerate(path + L"~pelvane*.tmp", entries, error);
    for (const FoundEntry& e : entries)
        if (!(e.attributes & FILE_ATTRIBUTE_DIRECTORY) && IsTemporaryName(e.name))
            fs_.DeleteUnused(path + e.name);
}

}  // namespace pelvane
