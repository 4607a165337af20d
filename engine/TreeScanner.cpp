#include "engine/TreeScanner.h"

#include <algorithm>

#include "common/Paths.h"
#include "engine/NameOrder.h"
#include "engine/CopyFolders.h"

namespace pelvane {
namespace {

// The enumeration's attribute masks: an entry is skipped when it carries a
// special attribute (hidden, system, volume label, directory) that the mask lacks.
constexpr uint32_t kVolumeLabel = 8;
constexpr uint32_t kSpecial =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | kVolumeLabel | FILE_ATTRIBUTE_DIRECTORY;
// Files: read-only, hidden, system, volume label and archive are all taken.
constexpr uint32_t kFileMask = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                               kVolumeLabel | FILE_ATTRIBUTE_ARCHIVE;
// Folders: hidden and system ones stay out.
constexpr uint32_t kFolderMask = FILE_ATTRIBUTE_DIRECTORY;

bool PassesMask(uint32_t attributes, uint32_t mask) {
    return (attributes & kSpecial & ~mask) == 0;
}

// For each entry taken, the earlier one whose name differs from it only in
// case, or -1. A case-sensitive folder (WSL, a Samba share) can hold both,
// and their copies would be one file.
std::vector<size_t> CaseTwins(const std::vector<FoundEntry>& entries, const std::vector<bool>& taken) {
    std::vector<size_t> twinOf(entries.size(), size_t(-1)), order;
    for (size_t i = 0; i < entries.size(); ++i)
        if (taken[i]) order.push_back(i);
    if (order.size() < 2) return twinOf;
    NameLess less;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return less(entries[a].name, entries[b].name); });
    for (size_t k = 1, first = order[0]; k < order.size(); ++k) {
        if (less(entries[first].name, entries[order[k]].name))
            first = order[k];
        else
            twinOf[order[k]] = first;
    }
    return twinOf;
}

}  // namespace

// Depth first, a folder's files before its sub-folders, without recursion:
// a path of 32,767 characters may hold thousands of levels.
struct TreeScanner::Walk {
    struct Subfolder {
        std::wstring name;
        bool link;  // a reparse point (junction, symbolic link): it may lead back up
    };
    struct Level {
        size_t length;                      // of its relative path
        std::vector<Subfolder> subfolders;  // reversed: the next one at the back
        std::wstring identity;              // of the folder, once asked for
    };
    ScanResult& result;
    std::vector<Level> levels;
    std::wstring relative;  // of the folder at hand
};

ScanResult TreeScanner::Scan(const std::wstring& folder, bool archiveOnly) {
    ScanResult result;
    result.root = folder;
    result.longRoot = fs_.LongForm(folder);
    Walk walk{result, {}, {}};
    std::vector<FoundEntry> entries;
    do {
        entries.clear();
        DWORD error = 0;
        if (!fs_.Enumerate(result.longRoot + walk.relative + L"*", entries, error))
            log_.Error(ExcludeTrailingBackslash(folder + walk.relative), fs_.ErrorText(error));
        // A long scan of a slow share must be stoppable.
        if (stop_.CheckNow()) break;
        TakeEntries(walk, entries, archiveOnly);
    } while (NextFolder(walk));
    return result;
}

bool TreeScanner::LeftOut(const Walk& walk, const std::wstring& name) const {
    const std::wstring path = walk.result.longRoot + walk.relative + name;
    for (const std::wstring& folder : leftOut_)
        if (CompareStringOrdinal(path.c_str(), static_cast<int>(path.size()), folder.c_str(),
                                 static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL)
            return true;
    return false;
}

void TreeScanner::TakeEntries(Walk& walk, const std::vector<FoundEntry>& entries, bool archiveOnly) {
    walk.result.files.BeginFolder(walk.relative);
    Walk::Level level{walk.relative.size(), {}, {}};
    std::vector<bool> isFile(entries.size()), isFolder(entries.size()), taken(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const uint32_t a = entries[i].attributes;
        isFile[i] = PassesMask(a, kFileMask);
        isFolder[i] = PassesMask(a, kFolderMask) && (a & FILE_ATTRIBUTE_DIRECTORY);
        taken[i] = isFile[i] || isFolder[i];
    }
    const std::vector<size_t> twinOf = CaseTwins(entries, taken);
    for (size_t i = 0; i < entries.size(); ++i) {
        const FoundEntry& e = entries[i];
        if (twinOf[i] != size_t(-1)) {
            log_.Error(walk.result.root + walk.relative + e.name,
                       L"Csak kis- és nagybetűben különbözik ettől: " + entries[twinOf[i]].name +
                           L"; a másolatuk ugyanoda kerülne");
            continue;
        }
        if (isFile[i] && (!archiveOnly || (e.attributes & FILE_ATTRIBUTE_ARCHIVE))) {
            walk.result.files.AddFile(e.name, e.lastWrite, e.size);
            walk.result.total += static_cast<int64_t>(e.size);
        } else if (isFile[i]) {
            // Its copy is one of the task's all the same (the change guard counts them).
            walk.result.files.KeepFolder();
        }
        // Pelvane's own: the replaced copies of a target that lies in the source.
        if (isFolder[i] && !(IsVersionFolderName(e.name) && LeftOut(walk, e.name)))
            level.subfolders.push_back({e.name, (e.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
    }
    std::reverse(level.subfolders.begin(), level.subfolders.end());
    walk.levels.push_back(std::move(level));
}

// The next folder to scan: the first sub-folder not yet scanned, going up as
// levels run out; false when the tree is done.
bool TreeScanner::NextFolder(Walk& walk) {
    for (;;) {
        while (!walk.levels.empty() && walk.levels.back().subfolders.empty()) walk.levels.pop_back();
        if (walk.levels.empty()) return false;
        Walk::Subfolder next = std::move(walk.levels.back().subfolders.back());
        walk.levels.back().subfolders.pop_back();
        walk.relative.resize(walk.levels.back().length);
        walk.relative += next.name;
        walk.relative += L'\\';
        if (!next.link || !LeadsUp(walk)) return true;
        // A link back to a folder above would repeat the tree without end.
        log_.Error(walk.result.root + ExcludeTrailingBackslash(walk.relative),
                   fs_.ErrorText(ERROR_CANT_RESOLVE_FILENAME));
    }
}

// Whether the linked folder at hand is the same as one of the folders it lies in.
bool TreeScanner::LeadsUp(Walk& walk) {
    const std::wstring& root = walk.result.longRoot;
    const std::wstring linked = fs_.FolderIdentity(root + walk.relative);
    if (linked.empty()) return false;
    for (Walk::Level& up : walk.levels) {
        if (up.identity.empty()) up.identity = fs_.FolderIdentity(root + walk.relative.substr(0, up.length));
        if (up.identity == linked) return true;
    }
    return false;
}

}  // namespace pelvane
