#include <algorithm>
#include <climits>

#include "common/FileDate.h"
#include "common/Paths.h"
#include "engine/BackupEngine.h"

namespace pelvane {
namespace {

// The enumeration's attribute mask: an entry is skipped when it carries a
// special attribute (hidden, system, volume label, directory) that the mask lacks.
bool PassesMask(uint32_t attributes, uint32_t mask) {
    const uint32_t special = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | 8 | FILE_ATTRIBUTE_DIRECTORY;
    return (attributes & special & ~mask) == 0;
}

constexpr uint32_t kFileMask = 47;    // read-only, hidden, system, volume label, archive
constexpr uint32_t kFolderMask = 16;  // directory: hidden and system folders stay out

int32_t PackedDate(uint64_t fileTime) {
    FILETIME t{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
    return FileTimeToPackedDate(t);
}

// Names as the file system matches them: without regard to case.
bool NameLess(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                                TRUE) == CSTR_LESS_THAN;
}

}  // namespace

int64_t BackupEngine::CollectFiles(const std::wstring& folder, const std::wstring& pattern, bool recurse,
                                   PathList& list, bool archiveOnly) {
    scanShown_ = folder;
    scanLong_ = fs_.LongForm(folder);
    int64_t total = 0;
    // Depth first, a folder's files before its sub-folders, without recursion:
    // a path of 32,767 characters may hold thousands of levels.
    struct Subfolder {
        std::wstring name;
        bool link;  // a reparse point (junction, symbolic link): it may lead back up
    };
    struct Level {
        size_t length;                      // of its relative path
        std::vector<Subfolder> subfolders;  // reversed: the next one at the back
        std::wstring identity;              // of the folder, once asked for
    };
    std::vector<Level> levels;
    std::wstring relative;
    // Whether the linked folder at relative is the same as one of the folders it lies in.
    auto leadsUp = [&]() {
        const std::wstring linked = fs_.FolderIdentity(scanLong_ + relative);
        if (linked.empty()) return false;
        for (Level& up : levels) {
            if (up.identity.empty())
                up.identity = fs_.FolderIdentity(scanLong_ + relative.substr(0, up.length));
            if (up.identity == linked) return true;
        }
        return false;
    };
    std::vector<FoundEntry> entries;
    for (;;) {
        entries.clear();
        DWORD error = 0;
        if (!fs_.Enumerate(scanLong_ + relative + pattern, entries, error))
            LogError(ExcludeTrailingBackslash(scanShown_ + relative), fs_.ErrorText(error));
        s_.ProcessMessages();
        list.BeginFolder(relative);
        Level level{relative.size(), {}, {}};
        for (const FoundEntry& e : entries) {
            if (PassesMask(e.attributes, kFileMask) &&
                (!archiveOnly || (e.attributes & FILE_ATTRIBUTE_ARCHIVE))) {
                list.AddFile(e.name, PackedDate(e.lastWrite));
                total += static_cast<int64_t>(e.size);
            }
            if (recurse && PassesMask(e.attributes, kFolderMask) && (e.attributes & FILE_ATTRIBUTE_DIRECTORY))
                level.subfolders.push_back({e.name, (e.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
        }
        std::reverse(level.subfolders.begin(), level.subfolders.end());
        levels.push_back(std::move(level));
        // The next folder: the first sub-folder not yet scanned, going up as levels run out.
        for (;;) {
            while (!levels.empty() && levels.back().subfolders.empty()) levels.pop_back();
            if (levels.empty()) return total;
            Subfolder next = std::move(levels.back().subfolders.back());
            levels.back().subfolders.pop_back();
            relative.resize(levels.back().length);
            relative += next.name;
            relative += L'\\';
            if (!next.link || !leadsUp()) break;
            // A link back to a folder above would repeat the tree without end.
            LogError(scanShown_ + ExcludeTrailingBackslash(relative),
                     fs_.ErrorText(ERROR_CANT_RESOLVE_FILENAME));
        }
    }
}

void BackupEngine::ArchiveTask(const std::wstring& forras, const std::wstring& cel) {
    // An empty folder would map the tree to a wrong place (or the drive root).
    if (forras.empty() || cel.empty()) {
        LogError(forras, forras.empty() ? L"Nincs megadva a forrás mappa" : L"Nincs megadva a cél mappa");
        return;
    }
    taskSource_ = forras;
    inTask_ = true;
    const std::wstring source = IncludeTrailingBackslash(forras);
    const std::wstring target = IncludeTrailingBackslash(cel);

    PathList list;
    int64_t total = CollectFiles(source, L"*", true, list, s_.MethodIndex() == 1);
    StartProgress(total);
    Log(L"Összesen " + FormatTotal(total));

    // The targets are built as they are needed, so this pass only gives the
    // user the chance to stop before any copy.
    bool stopped = false;
    for (size_t i = 0; i < list.Count() && !stopped; ++i) stopped = StopRequested();

    // The last folder name from the full form, where "." and ".." are
    // resolved: a source given as C:\Data\Docs\.. must not map outside the target.
    const std::wstring sourceLong = ExcludeTrailingBackslash(scanLong_);
    const std::wstring lastName = sourceLong.substr(sourceLong.find_last_of(L'\\') + 1) + L"\\";
    const std::wstring targetShown = target + lastName;
    const std::wstring targetLong = fs_.LongForm(target) + lastName;

    FilePaths p;
    std::wstring sourceFolder, targetFolder, name;
    for (size_t f = 0; f < list.FolderCount() && !stopped; ++f) {
        const std::wstring_view relative = list.Folder(f);
        sourceFolder.assign(scanLong_).append(relative);
        targetFolder.assign(targetLong).append(relative);
        bool listed = false;
        for (size_t i = list.FirstFile(f); i < list.FirstFile(f + 1); ++i) {
            if ((stopped = StopRequested())) break;
            name.clear();
            list.AppendName(i, name);
            if (s_.MethodIndex() == 2) {
                // Only files without a copy or newer than it. The copies' dates
                // come from one listing of their folder, not a look-up each.
                if (!listed) ListCopies(targetFolder), listed = true;
                const CopyEntry* copy = FindCopy(name);
                if (copy && copy->date != -1 && list.PackedDate(i) <= copy->date) continue;
            }
            p.source.assign(sourceFolder).append(name);
            p.target.assign(targetFolder).append(name);
            p.sourceShown.assign(source).append(relative).append(name);
            p.targetShown.assign(targetShown).append(relative).append(name);
            CopyOneFile(p);
        }
    }
    ResetProgress();
    inTask_ = false;
}

void BackupEngine::ListCopies(const std::wstring& folder) {
    copies_.clear();
    std::vector<FoundEntry> entries;
    DWORD error = 0;
    // A folder that cannot be listed has no copies: each file is then tried,
    // and what fails is reported by the copy.
    fs_.Enumerate(folder + L"*", entries, error);
    for (FoundEntry& e : entries)
        copies_.push_back(
            {std::move(e.name), (e.attributes & FILE_ATTRIBUTE_DIRECTORY) ? -1 : PackedDate(e.lastWrite)});
    std::sort(copies_.begin(), copies_.end(),
              [](const CopyEntry& a, const CopyEntry& b) { return NameLess(a.name, b.name); });
}

const BackupEngine::CopyEntry* BackupEngine::FindCopy(std::wstring_view name) const {
    auto it = std::lower_bound(copies_.begin(), copies_.end(), name,
                               [](const CopyEntry& e, std::wstring_view n) { return NameLess(e.name, n); });
    return it != copies_.end() && !NameLess(name, it->name) ? &*it : nullptr;
}

bool BackupEngine::StopRequested() {
    s_.ProcessMessages();
    lastPump_ = clock_();
    return !running_;
}

void BackupEngine::StartProgress(int64_t total) {
    // Large trees exceed the bar's 32-bit range: count in units of 2^shift bytes.
    progressShift_ = 0;
    while ((total >> progressShift_) > INT_MAX) ++progressShift_;
    s_.SetProgressMax(static_cast<int>(total >> progressShift_));
    progressBytes_ = 0;
    progressPosition_ = 0;
}

void BackupEngine::StepProgress(int64_t bytes) {
    progressBytes_ += static_cast<uint64_t>(bytes);
    int position = static_cast<int>(std::min<uint64_t>(progressBytes_ >> progressShift_, INT_MAX));
    if (position != progressPosition_) s_.StepProgress(position - progressPosition_);
    progressPosition_ = position;
}

void BackupEngine::ResetProgress() {
    s_.SetProgressPosition(0);
    progressBytes_ = 0;
    progressPosition_ = 0;
}

}  // namespace pelvane
