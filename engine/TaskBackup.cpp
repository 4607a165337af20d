#include "engine/TaskBackup.h"

#include <algorithm>

#include "common/Paths.h"

namespace pelvane {

void TaskBackup::Run(const std::wstring& source, const std::wstring& target) {
    // An empty folder would map the tree to a wrong place (or the drive root).
    if (source.empty() || target.empty())
        return log_.Error(source,
                          source.empty() ? L"Nincs megadva a forrás mappa" : L"Nincs megadva a cél mappa");
    const ScanResult scan =
        scanner_.Scan(IncludeTrailingBackslash(source), options_.Method() == kCopyArchived);
    if (stop_.Requested()) return;  // during the scan: the total is not known
    progress_.Start(scan.total);
    log_.Line(L"Összesen " + FormatTotal(scan.total));
    // The targets are made as they are needed, so this pass only gives the
    // user the chance to stop before any copy.
    bool stopped = false;
    for (size_t i = 0; i < scan.files.Count() && !stopped; ++i) stopped = stop_.CheckNow();
    if (!stopped) CopyFiles(scan, IncludeTrailingBackslash(target));
    progress_.Reset();
}

void TaskBackup::Abandon() {
    decision_.Clear();
    copier_.ForgetFolder();
    progress_.Reset();
}

void TaskBackup::CopyFiles(const ScanResult& scan, const std::wstring& target) {
    // The last folder name from the full form, where "." and ".." are
    // resolved: a source given as C:\Data\Docs\.. must not map outside the target.
    const std::wstring sourceLong = ExcludeTrailingBackslash(scan.longRoot);
    const std::wstring lastName = sourceLong.substr(sourceLong.find_last_of(L'\\') + 1) + L"\\";
    const std::wstring targetShown = target + lastName;
    const std::wstring targetLong = fs_.LongForm(target) + lastName;

    const PathList& files = scan.files;
    FilePaths p;
    std::wstring sourceFolder, targetFolder, name;
    for (size_t f = 0; f < files.FolderCount(); ++f) {
        const std::wstring_view relative = files.Folder(f);
        sourceFolder.assign(scan.longRoot).append(relative);
        targetFolder.assign(targetLong).append(relative);
        decision_.EnterFolder(targetFolder);
        for (size_t i = files.FirstFile(f); i < files.FirstFile(f + 1); ++i) {
            if (stop_.CheckNow()) return;
            name.clear();
            files.AppendName(i, name);
            if (!decision_.Copies(options_.Method(), name, files.LastWrite(i))) continue;
            p.source.assign(sourceFolder).append(name);
            p.target.assign(targetFolder).append(name);
            p.sourceShown.assign(scan.root).append(relative).append(name);
            p.targetShown.assign(targetShown).append(relative).append(name);
            copier_.Copy(p);
        }
    }
}

std::wstring FormatTotal(int64_t total) {
    std::wstring digits = std::to_wstring(total);
    std::wstring groups[4];
    size_t n = digits.size();
    // The three right-hand groups take three digits each; the first takes the rest.
    for (int g = 3; g >= 0; --g) {
        size_t take = g == 0 ? n : std::min<size_t>(3, n);
        groups[g] = digits.substr(n - take, take);
        n -= take;
    }
    return groups[0] + L" " + groups[1] + L" " + groups[2] + L" " + groups[3];
}

}  // namespace pelvane
