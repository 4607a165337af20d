#include "engine/RestoreScanner.h"

#include <algorithm>

#include "common/Paths.h"
#include "engine/NameOrder.h"
#include "engine/TargetFolders.h"

namespace pelvane {
namespace {

constexpr size_t kCopies = 0, kVersions = 1;

bool IsFolder(const FoundEntry& e) {
    return (e.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool SameName(std::wstring_view a, std::wstring_view b) {
    NameLess less;
    return !less(a, b) && !less(b, a);
}

}  // namespace

LocalTime LocalTimeOf(uint64_t fileTime) {
    const FILETIME utc{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
    SYSTEMTIME universal, local;
    // The rules of daylight saving time of that day, not of today: a copy
    // dated in summer keeps its wall-clock hour when restored in winter.
    if (!FileTimeToSystemTime(&utc, &universal) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        return LocalTime{1, 1, 1, 0, 0, 0};
    return LocalTime::From(local);
}

// Depth first over the union of both trees' folders, without recursion (a
// path of 32,767 characters may hold thousands of levels).
struct RestoreScanner::Walk {
    struct Subfolder {
        std::wstring name;
        bool in[2];    // the copy tree, the version tree
        bool link[2];  // a reparse point there: it may lead back up
    };
    struct Level {
        size_t length;                      // of its relative path
        std::vector<Subfolder> subfolders;  // reversed: the next one at the back
        std::wstring identity[2];           // of the folder in each tree, once asked for
    };
    const BackupTrees& trees;
    const std::optional<LocalTime>& asOf;
    RestorePlan& plan;
    std::vector<Level> levels;
    std::wstring relative;  // of the folder at hand

    const std::wstring& Root(size_t tree) const { return tree == kCopies ? trees.copies : trees.versions; }
    const std::wstring& Shown(size_t tree) const {
        return tree == kCopies ? trees.copiesShown : trees.versionsShown;
    }
};

struct RestoreScanner::Listing {
    std::vector<FoundEntry> entries[2];
};

RestorePlan RestoreScanner::Scan(const BackupTrees& trees, const std::optional<LocalTime>& asOf) {
    RestorePlan plan;
    Walk walk{trees, asOf, plan, {}, {}};
    // No version kept yet is no failure; no copies are (the listing says why).
    const uint32_t versions = fs_.GetAttributes(ExcludeTrailingBackslash(trees.versions));
    bool inCopies = true,
         inVersions = versions != INVALID_FILE_ATTRIBUTES && (versions & FILE_ATTRIBUTE_DIRECTORY);
    Listing listing;
    do {
        ListFolder(walk, inCopies, inVersions, listing);
        if (stop_.CheckNow()) break;
        Choose(walk, listing);
    } while (NextFolder(walk, inCopies, inVersions));
    return plan;
}

void RestoreScanner::ListFolder(Walk& walk, bool inCopies, bool inVersions, Listing& listing) {
    const bool in[2] = {inCopies, inVersions};
    for (size_t tree : {kCopies, kVersions}) {
        listing.entries[tree].clear();
        DWORD error = 0;
        if (in[tree] && !fs_.Enumerate(walk.Root(tree) + walk.relative + L"*", listing.entries[tree], error))
            log_.Error(ExcludeTrailingBackslash(walk.Shown(tree) + walk.relative), fs_.ErrorText(error));
    }
}

void RestoreScanner::Choose(Walk& walk, Listing& listing) {
    struct Version {
        const FoundEntry* entry;
        std::wstring fileName;  // of the copy it was
        LocalTime replaced;
    };
    NameLess less;
    std::vector<const FoundEntry*> copies;
    std::vector<Version> versions;
    std::vector<Walk::Subfolder> subfolders;
    for (size_t tree : {kCopies, kVersions}) {
        for (const FoundEntry& e : listing.entries[tree]) {
            if (IsFolder(e)) {
                const bool link = (e.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
                subfolders.push_back({e.name,
                                      {tree == kCopies, tree == kVersions},
                                      {link && tree == kCopies, link && tree == kVersions}});
            } else if (TargetFolders::IsTemporaryName(e.name)) {
                continue;  // a copy being written, or left by a run that was killed
            } else if (tree == kCopies) {
                copies.push_back(&e);
            } else if (auto parsed = ParseVersionFileName(e.name)) {
                versions.push_back({&e, std::move(parsed->fileName), parsed->replaced});
            }
        }
    }
    std::sort(copies.begin(), copies.end(),
              [&](const FoundEntry* a, const FoundEntry* b) { return less(a->name, b->name); });
    std::sort(versions.begin(), versions.end(), [&](const Version& a, const Version& b) {
        return less(a.fileName, b.fileName) || (!less(b.fileName, a.fileName) && a.replaced < b.replaced);
    });

    RestorePlan& plan = walk.plan;
    auto add = [&](const FoundEntry& e, bool fromVersions) {
        plan.files.AddFile(e.name, e.lastWrite, e.size);
        if (plan.files.FolderCount() > plan.fromVersions.size()) plan.fromVersions.push_back(fromVersions);
        plan.total += static_cast<int64_t>(e.size);
    };
    plan.files.BeginFolder(walk.relative);
    std::vector<const FoundEntry*> chosenVersions;
    std::vector<LocalTime> times;
    for (size_t c = 0, v = 0; c < copies.size() || v < versions.size();) {
        // The next name in either tree.
        const std::wstring key =
            v >= versions.size() || (c < copies.size() && !less(versions[v].fileName, copies[c]->name))
                ? copies[c]->name
                : versions[v].fileName;
        const FoundEntry* copy = nullptr;
        if (c < copies.size() && SameName(key, copies[c]->name)) copy = copies[c++];
        // A case-sensitive folder (WSL, Samba) can hold names that differ
        // only in case: they would be restored to one file.
        for (; copy && c < copies.size() && SameName(key, copies[c]->name); ++c)
            log_.Error(walk.trees.copiesShown + walk.relative + copies[c]->name,
                       L"Csak kis- és nagybetűben különbözik ettől: " + copy->name +
                           L"; a visszaállításuk ugyanoda kerülne");
        const size_t first = v;
        times.clear();
        for (; v < versions.size() && SameName(key, versions[v].fileName); ++v)
            times.push_back(versions[v].replaced);
        std::optional<LocalTime> copyTime;
        if (copy) copyTime = LocalTimeOf(copy->lastWrite);
        const RestoreChoice choice = ChooseRestoreSource(copyTime, times, walk.asOf);
        if (choice.from == RestoreChoice::From::Copy) add(*copy, false);
        if (choice.from != RestoreChoice::From::Version) continue;
        // The version that was the copy at the moment; one whose own date is
        // after it was made later (the file came into the backup after the
        // moment and was replaced since), so it was not in the backup then.
        const FoundEntry& version = *versions[first + choice.version].entry;
        if (walk.asOf && *walk.asOf < LocalTimeOf(version.lastWrite)) continue;
        chosenVersions.push_back(&version);
    }
    plan.files.BeginFolder(walk.relative);
    for (const FoundEntry* version : chosenVersions) add(*version, true);

    // The sub-folders of both trees, each once.
    std::stable_sort(
        subfolders.begin(), subfolders.end(),
        [&](const Walk::Subfolder& a, const Walk::Subfolder& b) { return less(a.name, b.name); });
    Walk::Level level{walk.relative.size(), {}, {}};
    for (Walk::Subfolder& s : subfolders) {
        if (!level.subfolders.empty() && SameName(level.subfolders.back().name, s.name)) {
            Walk::Subfolder& both = level.subfolders.back();
            for (size_t tree : {kCopies, kVersions})
                both.in[tree] |= s.in[tree], both.link[tree] |= s.link[tree];
            continue;
        }
        level.subfolders.push_back(std::move(s));
    }
    std::reverse(level.subfolders.begin(), level.subfolders.end());
    walk.levels.push_back(std::move(level));
}

// The next folder to scan, and the trees it is in; false when both are done.
bool RestoreScanner::NextFolder(Walk& walk, bool& inCopies, bool& inVersions) {
    for (;;) {
        while (!walk.levels.empty() && walk.levels.back().subfolders.empty()) walk.levels.pop_back();
        if (walk.levels.empty()) return false;
        Walk::Subfolder next = std::move(walk.levels.back().subfolders.back());
        walk.levels.back().subfolders.pop_back();
        walk.relative.resize(walk.levels.back().length);
        walk.relative += next.name;
        walk.relative += L'\\';
        inCopies = next.in[kCopies];
        inVersions = next.in[kVersions];
        // A link back to a folder above would repeat the tree without end.
        size_t loop = 2;
        for (size_t tree : {kCopies, kVersions})
            if (next.link[tree] && LeadsUp(walk, tree == kCopies)) loop = tree;
        if (loop == 2) return true;
        log_.Error(walk.Shown(loop) + ExcludeTrailingBackslash(walk.relative),
                   fs_.ErrorText(ERROR_CANT_RESOLVE_FILENAME));
    }
}

bool RestoreScanner::LeadsUp(Walk& walk, bool inCopies) {
    const size_t tree = inCopies ? kCopies : kVersions;
    const std::wstring& root = walk.Root(tree);
    const std::wstring linked = fs_.FolderIdentity(root + walk.relative);
    if (linked.empty()) return false;
    for (Walk::Level& up : walk.levels) {
        if (up.identity[tree].empty())
            up.identity[tree] = fs_.FolderIdentity(root + walk.relative.substr(0, up.length));
        if (up.identity[tree] == linked) return true;
    }
    return false;
}

}  // namespace pelvane
