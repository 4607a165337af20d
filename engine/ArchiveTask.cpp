#include <algorithm>
#include <climits>

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

// A copy is current unless its source is at least two seconds newer: FAT
// targets keep their times in two-second steps.
constexpr uint64_t kTimeAllowance = 2 * 10000000;  // FILETIME steps of 100 ns

bool Newer(uint64_t source, uint64_t copy) {
    return source > copy && source - copy >= kTimeAllowance;
}

// For each entry taken, the earlier one whose name differs from it only in
// case, or -1. A case-sensitive folder (WSL, a Samba share) can hold both,
// and their copies would be one file.
std::vector<size_t> CaseTwins(const std::vector<FoundEntry>& entries, const std::vector<bool>& taken) {
    std::vector<size_t> twinOf(entries.size(), size_t(-1)), order;
    for (size_t i = 0; i < entries.size(); ++i)
        if (taken[i]) order.push_back(i);
    if (order.size() < 2) return twinOf;
    BackupEngine::NameLess less;
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

// Our own temporary names: ~pelvane.tmp, ~pelvane1.tmp ... ~pelvane99.tmp.
bool IsTemporaryName(const std::wstring& name) {
    const std::wstring lower = AsciiLower(name), prefix = L"~pelvane", suffix = L".tmp";
    if (lower.size() < prefix.size() + suffix.size() || lower.compare(0, prefix.size(), prefix) != 0 ||
        lower.compare(lower.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    const std::wstring number = lower.substr(prefix.size(), lower.size() - prefix.size() - suffix.size());
    return number.empty() ||
           (number.size() <= 2 && number[0] != L'0' &&
            std::all_of(number.begin(), number.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }));
}

}  // namespace

bool BackupEngine::NameLess::operator()(std::wstring_view a, std::wstring_view b) const {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                                TRUE) == CSTR_LESS_THAN;
}

std::wstring CopyFolder(FileSystem& fs, const std::wstring& forras, const std::wstring& cel) {
    const std::wstring source = ExcludeTrailingBackslash(fs.LongForm(IncludeTrailingBackslash(forras)));
    return fs.LongForm(IncludeTrailingBackslash(cel)) + source.substr(source.find_last_of(L'\\') + 1);
}

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
        // A long scan of a slow share must be stoppable.
        if (Stopped()) return total;
        list.BeginFolder(relative);
        Level level{relative.size(), {}, {}};
        std::vector<bool> isFile(entries.size()), isFolder(entries.size()), taken(entries.size());
        for (size_t i = 0; i < entries.size(); ++i) {
            const uint32_t a = entries[i].attributes;
            isFile[i] = PassesMask(a, kFileMask);
            isFolder[i] = recurse && PassesMask(a, kFolderMask) && (a & FILE_ATTRIBUTE_DIRECTORY);
            taken[i] = isFile[i] || isFolder[i];
        }
        const std::vector<size_t> twinOf = CaseTwins(entries, taken);
        for (size_t i = 0; i < entries.size(); ++i) {
            const FoundEntry& e = entries[i];
            if (twinOf[i] != size_t(-1)) {
                LogError(scanShown_ + relative + e.name, L"Csak kis- és nagybetűben különbözik ettől: " +
                                                             entries[twinOf[i]].name +
                                                             L"; a másolatuk ugyanoda kerülne");
                continue;
            }
            if (isFile[i] && (!archiveOnly || (e.attributes & FILE_ATTRIBUTE_ARCHIVE))) {
                list.AddFile(e.name, e.lastWrite);
                total += static_cast<int64_t>(e.size);
            }
            if (isFolder[i])
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
    const std::wstring source = IncludeTrailingBackslash(forras);
    const std::wstring target = IncludeTrailingBackslash(cel);

    PathList list;
    int64_t total = CollectFiles(source, L"*", true, list, s_.Method() == 1);
    if (Stopped()) return;  // during the scan: the total is not known
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
            if (s_.Method() == 2) {
                // Only files without a copy or newer than it. The copies' dates
                // come from one listing of their folder, not a look-up each.
                if (!listed) ListCopies(targetFolder), listed = true;
                // The file times themselves, in UTC: a date packed in local
                // time would shift with a change of daylight saving time.
                const CopyEntry* copy = FindCopy(name);
                if (copy && !copy->folder && !Newer(list.LastWrite(i), copy->lastWrite)) continue;
            }
            p.source.assign(sourceFolder).append(name);
            p.target.assign(targetFolder).append(name);
            p.sourceShown.assign(source).append(relative).append(name);
            p.targetShown.assign(targetShown).append(relative).append(name);
            CopyOneFile(p);
        }
    }
    ResetProgress();
}

void BackupEngine::ListCopies(const std::wstring& folder) {
    copies_.clear();
    std::vector<FoundEntry> entries;
    DWORD error = 0;
    // A folder that cannot be listed has no copies: each file is then tried,
    // and what fails is reported by the copy.
    fs_.Enumerate(folder + L"*", entries, error);
    for (FoundEntry& e : entries)
        copies_.push_back({std::move(e.name), e.lastWrite, (e.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    NameLess less;
    std::sort(copies_.begin(), copies_.end(),
              [&](const CopyEntry& a, const CopyEntry& b) { return less(a.name, b.name); });
}

const BackupEngine::CopyEntry* BackupEngine::FindCopy(std::wstring_view name) const {
    NameLess less;
    auto it = std::lower_bound(copies_.begin(), copies_.end(), name,
                               [&](const CopyEntry& e, std::wstring_view n) { return less(e.name, n); });
    return it != copies_.end() && !less(name, it->name) ? &*it : nullptr;
}

void BackupEngine::RemoveStaleTemporaries(const std::wstring& folder) {
    std::vector<FoundEntry> entries;
    DWORD error = 0;
    fs_.Enumerate(IncludeTrailingBackslash(folder) + L"~pelvane*.tmp", entries, error);
    for (const FoundEntry& e : entries)
        if (!(e.attributes & FILE_ATTRIBUTE_DIRECTORY) && IsTemporaryName(e.name))
            fs_.DeleteUnused(IncludeTrailingBackslash(folder) + e.name);
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
