#include "engine/VersionPrune.h"

#include <vector>

#include "common/Paths.h"

namespace pelvane {

void VersionPrune::Run(const std::wstring& root, const std::wstring& shown, int keepDays,
                       const LocalTime& now) {
    if (keepDays <= 0) return;
    // Parents before their sub-folders, without recursion; each with the
    // count of its entries still there once its expired versions are gone.
    struct Folder {
        std::wstring relative;  // "" or ending in a backslash
        size_t parent;
        size_t left;
    };
    constexpr size_t kNone = size_t(-1);
    std::vector<Folder> folders{{L"", kNone, 0}};
    std::vector<FoundEntry> entries;
    for (size_t k = 0; k < folders.size(); ++k) {
        if (stop_.CheckNow()) return;
        const std::wstring relative = folders[k].relative;
        entries.clear();
        DWORD error = 0;
        if (!fs_.Enumerate(root + relative + L"*", entries, error)) {
            // No version kept yet, or none can be (a file where the folder
            // should be, as Windows and Wine 10 say): the copies said so already.
            if (k == 0 && (error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND ||
                           error == ERROR_INVALID_NAME || error == ERROR_DIRECTORY))
                return;
            log_.Error(ExcludeTrailingBackslash(shown + relative), fs_.ErrorText(error));
            folders[k].left = 1;  // not known to be empty
            continue;
        }
        folders[k].left = entries.size();
        for (const FoundEntry& e : entries) {
            // A link could lead out of the version folder: neither followed nor removed.
            if (e.attributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
            if (e.attributes & FILE_ATTRIBUTE_DIRECTORY) {
                folders.push_back({relative + e.name + L"\\", k, 0});
                continue;
            }
            const std::optional<ParsedVersionName> parsed = ParseVersionFileName(e.name);
            if (!parsed || !VersionExpired(parsed->replaced, now, keepDays)) continue;
            const std::wstring path = root + relative + e.name;
            // A read-only copy keeps its attribute in its version.
            if (e.attributes & FILE_ATTRIBUTE_READONLY)
                fs_.SetAttributes(path, e.attributes & ~FILE_ATTRIBUTE_READONLY);
            if (fs_.Delete(path)) {
                --folders[k].left;
                continue;
            }
            const DWORD failure = GetLastError();
            if (e.attributes & FILE_ATTRIBUTE_READONLY) fs_.SetAttributes(path, e.attributes);
            log_.Error(shown + relative + e.name,
                       L"A lejárt változat nem törölhető. " + fs_.ErrorText(failure));
        }
    }
    // Sub-folders before the folders they lie in.
    for (size_t k = folders.size(); k-- > 0;)
        if (folders[k].left == 0 && fs_.RemoveFolder(ExcludeTrailingBackslash(root + folders[k].relative)) &&
            folders[k].parent != kNone)
            --folders[folders[k].parent].left;
}

}  // namespace pelvane
