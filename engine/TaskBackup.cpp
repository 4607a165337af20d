#include "engine/TaskBackup.h"

#include <algorithm>

#include "common/Paths.h"
#include "engine/CopyFolders.h"
#include "engine/VersionName.h"

namespace pelvane {
namespace {

// "A feladat 102 másolatából 70 változna meg (több mint 50%)".
std::wstring Counts(const MassChange& change, const wchar_t* verb) {
    return L"A feladat " + std::to_wstring(change.existing) + L" másolatából " +
           std::to_wstring(change.changed) + L" " + verb + L" meg (több mint " +
           std::to_wstring(change.limit) + L"%)";
}

}  // namespace

void TaskBackup::Run(const std::wstring& source, const std::wstring& target) {
    // An empty folder would map the tree to a wrong place (or the drive root).
    if (source.empty() || target.empty())
        return log_.Error(source,
                          source.empty() ? L"Nincs megadva a forrás mappa" : L"Nincs megadva a cél mappa");
    // Its copies would mix with the versions of the tasks that save to the same target.
    const std::wstring sourceLong = ExcludeTrailingBackslash(fs_.LongForm(IncludeTrailingBackslash(source)));
    if (IsVersionFolderName(sourceLong.substr(sourceLong.find_last_of(L'\\') + 1)))
        return log_.Error(source, std::wstring(L"A(z) ") + kVersionFolderName +
                                      L" nevű mappa a Pelvane változatainak helye; forrásként nem menthető");
    const ScanResult scan =
        scanner_.Scan(IncludeTrailingBackslash(source), options_.Method() == kCopyArchived);
    if (stop_.Requested()) return;  // during the scan: the total is not known
    progress_.Start(scan.total);
    log_.Line(L"Összesen " + FormatTotal(scan.total));

    const int versionDays = options_.VersionDays(), guard = options_.ChangeGuard();
    const Places places = PlacesOf(scan, IncludeTrailingBackslash(target));
    // The targets are made as they are needed: this pass only decides, so
    // the user may still stop before any copy, and the guard may hold the task.
    const Plan plan = Decide(scan, places, versionDays > 0 || guard > 0, guard > 0);
    if (!plan.stopped && GoesAhead(plan, source, target, guard)) {
        CopyFiles(scan, places, plan, versionDays > 0);
        // A stopped run ends at once; a held task keeps even its old versions.
        if (versionDays > 0 && !stop_.Requested())
            prune_.Run(places.versions, places.versionsShown, versionDays,
                       LocalTime::From(copier_.LocalNow()));
    }
    decision_.Clear();
    progress_.Reset();
}

void TaskBackup::LeaveOutVersionsOf(const std::vector<std::wstring>& targets) {
    std::vector<std::wstring> folders;
    for (const std::wstring& target : targets)
        if (!target.empty())
            folders.push_back(fs_.LongForm(IncludeTrailingBackslash(target)) + kVersionFolderName);
    scanner_.LeaveOut(std::move(folders));
}

void TaskBackup::Abandon() {
    decision_.Clear();
    copier_.ForgetFolder();
    progress_.Reset();
}

TaskBackup::Places TaskBackup::PlacesOf(const ScanResult& scan, const std::wstring& target) {
    // The last folder name from the full form, where "." and ".." are
    // resolved: a source given as C:\Data\Docs\.. must not map outside the target.
    const std::wstring sourceLong = ExcludeTrailingBackslash(scan.longRoot);
    const std::wstring lastName = sourceLong.substr(sourceLong.find_last_of(L'\\') + 1) + L"\\";
    const std::wstring targetLong = fs_.LongForm(target), versions = kVersionFolderName + std::wstring(L"\\");
    return {targetLong + lastName, target + lastName, targetLong + versions + lastName,
            target + versions + lastName};
}

TaskBackup::Plan TaskBackup::Decide(const ScanResult& scan, const Places& places, bool lookAtCopies,
                                    bool countCopies) {
    Plan plan;
    plan.method = options_.Method();
    plan.lookAtCopies = lookAtCopies;
    const PathList& files = scan.files;
    plan.actions.resize(files.Count(), FileAction::Write);
    std::wstring folder, name;
    for (size_t f = 0; f < files.FolderCount(); ++f) {
        folder.assign(places.copies).append(files.Folder(f));
        decision_.EnterFolder(folder);
        // Also the folders where the archive method took no file: their copies count.
        if (countCopies) plan.existing += decision_.CountCopies();
        for (size_t i = files.FirstFile(f); i < files.FirstFile(f + 1); ++i) {
            if (stop_.CheckNow()) {
                plan.stopped = true;
                return plan;
            }
            name.clear();
            files.AppendName(i, name);
            const FileAction action =
                decision_.Decide(plan.method, lookAtCopies, name, files.LastWrite(i), files.Size(i));
            plan.actions[i] = action;
            // An excluded file is left alone: its copy is not replaced.
            if (action == FileAction::Replace && countCopies && !copier_.Excluded(name)) ++plan.changed;
        }
    }
    return plan;
}

bool TaskBackup::GoesAhead(const Plan& plan, const std::wstring& source, const std::wstring& target,
                           int guard) {
    if (guard <= 0 || plan.changed < kGuardMinimum || plan.changed * 100 <= plan.existing * guard)
        return true;
    const MassChange change{source, target, plan.changed, plan.existing, guard};
    if (events_.AcceptMassChange(change)) {
        log_.Line(L"Figyelem: " + source + L" : " + Counts(change, L"változik") +
                  L"; a mentés engedéllyel folytatódik");
        return true;
    }
    const std::wstring how = events_.HowToAcceptMassChange();
    log_.Error(source, Counts(change, L"változna") +
                           L", ami zsarolóvírus vagy lemezhiba jele lehet: a feladat most nem fut le." +
                           (how.empty() ? L"" : L" " + how));
    return false;
}

void TaskBackup::CopyFiles(const ScanResult& scan, const Places& places, const Plan& plan,
                           bool keepVersions) {
    const PathList& files = scan.files;
    FilePaths p;
    std::wstring sourceFolder, targetFolder, name;
    for (size_t f = 0; f < files.FolderCount(); ++f) {
        const std::wstring_view relative = files.Folder(f);
        sourceFolder.assign(scan.longRoot).append(relative);
        targetFolder.assign(places.copies).append(relative);
        if (keepVersions) p.versionFolder.assign(places.versions).append(relative);
        decision_.EnterFolder(targetFolder);
        for (size_t i = files.FirstFile(f); i < files.FirstFile(f + 1); ++i) {
            if (stop_.CheckNow()) return;
            name.clear();
            files.AppendName(i, name);
            // A method changed during the run applies from the next file on
            // (the folder is then listed again).
            const int method = options_.Method();
            const FileAction action =
                method == plan.method
                    ? plan.actions[i]
                    : decision_.Decide(method, plan.lookAtCopies, name, files.LastWrite(i), files.Size(i));
            if (action == FileAction::Skip) continue;
            p.source.assign(sourceFolder).append(name);
            p.target.assign(targetFolder).append(name);
            p.sourceShown.assign(scan.root).append(relative).append(name);
            p.targetShown.assign(places.copiesShown).append(relative).append(name);
            copier_.Copy(p, action);
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
