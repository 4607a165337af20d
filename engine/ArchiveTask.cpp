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

}  // namespace

int64_t BackupEngine::CollectFiles(const std::string& folder, const std::string& pattern, bool recurse,
                                   PathList& list, bool archiveOnly) {
    std::vector<FoundEntry> entries;
    fs_.Enumerate(folder + pattern, entries);
    s_.ProcessMessages();
    int64_t total = 0;
    for (const FoundEntry& e : entries) {
        if (!PassesMask(e.attributes, kFileMask)) continue;
        if (!archiveOnly || (e.attributes & FILE_ATTRIBUTE_ARCHIVE)) {
            list.Add(folder + e.name);
            total += static_cast<int64_t>(e.size);
        }
    }
    if (!recurse) return total;
    // With "*.*" one listing serves both the files and the sub-folders.
    if (pattern != "*.*") {
        entries.clear();
        fs_.Enumerate(folder + "*.*", entries);
    }
    for (const FoundEntry& e : entries) {
        if (PassesMask(e.attributes, kFolderMask) && (e.attributes & FILE_ATTRIBUTE_DIRECTORY))
            total += CollectFiles(folder + e.name + "\\", pattern, recurse, list, archiveOnly);
    }
    return total;
}

void BackupEngine::ArchiveTask(const std::string& forras, const std::string& cel) {
    // An empty folder would map the tree to a wrong place (or the drive root).
    if (forras.empty() || cel.empty()) {
        LogError(forras, forras.empty() ? "Nincs megadva a forrás mappa" : "Nincs megadva a cél mappa");
        return;
    }
    taskSource_ = &forras;
    const std::string source = IncludeTrailingBackslash(forras);
    const std::string target = IncludeTrailingBackslash(cel);
    const std::string withoutSlash = source.substr(0, source.size() - 1);
    const std::string lastName = withoutSlash.substr(withoutSlash.find_last_of('\\') + 1);

    PathList list(source);
    int64_t total = CollectFiles(source, "*.*", true, list, s_.MethodIndex() == 1);
    StartProgress(total);
    Log("Összesen " + FormatTotal(total));

    // The targets are built as they are needed (prefix + relative path), so
    // this pass only gives the user the chance to stop before any copy.
    bool stopped = false;
    for (size_t i = 0; i < list.Count() && !stopped; ++i) stopped = StopRequested();

    const std::string prefix = target + lastName + "\\";
    std::string from, to;
    for (size_t i = 0; i < list.Count() && !stopped; ++i) {
        if ((stopped = StopRequested())) break;
        std::string_view relative = list.Relative(i);
        from.assign(source).append(relative);
        to.assign(prefix).append(relative);
        if (s_.MethodIndex() == 2) {
            // Only files without a copy or newer than it; an unreadable copy
            // date counts as older, an unreadable source date as oldest.
            int32_t copyAge = fs_.FileAge(to);
            bool newer =
                copyAge == -1 ? !fs_.FileExists(to) || fs_.FileAge(from) > -1 : fs_.FileAge(from) > copyAge;
            if (newer) CopyOneFile(from, to);
        } else {
            CopyOneFile(from, to);
        }
    }
    ResetProgress();
    taskSource_ = nullptr;
}

bool BackupEngine::StopRequested() {
    s_.ProcessMessages();
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

void BackupEngine::StepProgress(uint64_t bytes) {
    progressBytes_ += bytes;
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
