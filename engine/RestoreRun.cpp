#include "engine/RestoreRun.h"

#include <new>

#include "common/Paths.h"
#include "common/ScopedFlag.h"
#include "common/Text.h"
#include "engine/TargetFolders.h"
#include "engine/TaskBackup.h"

namespace pelvane {
namespace {

// A folder's long form for a look-up: without its last backslash, but a
// drive's root keeps it (\\?\E: would name the volume itself).
std::wstring FolderPath(const std::wstring& longForm) {
    const std::wstring folder = ExcludeTrailingBackslash(longForm);
    return !folder.empty() && folder.back() == L':' ? folder + L'\\' : folder;
}

// Whether folder is within (or is) above, both long forms, without regard
// to case as the file system matches names.
bool Within(const std::wstring& folder, const std::wstring& above) {
    const std::wstring a = ExcludeTrailingBackslash(folder), b = ExcludeTrailingBackslash(above);
    if (a.size() < b.size() || CompareStringOrdinal(a.data(), static_cast<int>(b.size()), b.data(),
                                                    static_cast<int>(b.size()), TRUE) != CSTR_EQUAL)
        return false;
    return a.size() == b.size() || a[b.size()] == L'\\';
}

}  // namespace

RestoreRun::RestoreRun(RunReport& report, RunEvents& events, FileSystem& fs)
    : report_(report),
      events_(events),
      fs_(fs),
      log_(report),
      stop_(events),
      progress_(report),
      copier_(fs, options_, report, log_, progress_, stop_),
      scanner_(fs, log_, stop_) {}

std::wstring RestoreRun::Refusal(const RestoreRequest& r) {
    if (r.source.empty()) return L"Nincs megadva a forrás mappa";
    if (r.target.empty()) return L"Nincs megadva a cél mappa";
    if (r.into.empty()) return L"Nincs megadva, hová kerüljön a visszaállítás";
    // Restoring never overwrites anything: not the backup it reads, not the
    // source it may be meant to replace.
    const std::wstring into = FolderPath(fs_.LongForm(IncludeTrailingBackslash(r.into)));
    const std::wstring target = FolderPath(fs_.LongForm(IncludeTrailingBackslash(r.target)));
    const std::wstring source = FolderPath(fs_.LongForm(IncludeTrailingBackslash(r.source)));
    if (Within(into, target) || SameFolderAbove(into, target))
        return L"A visszaállítás nem kerülhet a cél mappába vagy alá: " + r.into;
    if (Within(into, source) || SameFolderAbove(into, source))
        return L"A visszaállítás nem kerülhet a forrás mappába vagy alá: " + r.into;
    const uint32_t attributes = fs_.GetAttributes(into);
    if (attributes == INVALID_FILE_ATTRIBUTES) return {};  // new: made when the restore starts
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return L"Ez nem mappa, hanem file: " + r.into;
    std::vector<FoundEntry> entries;
    DWORD error = 0;
    if (!fs_.Enumerate(IncludeTrailingBackslash(into) + L"*", entries, error))
        return L"A mappa nem olvasható: " + r.into + L" : " + fs_.ErrorText(error);
    if (!entries.empty())
        return L"A mappa nem üres: " + r.into + L"; a visszaállítás csak új vagy üres mappába ír";
    return {};
}

// Whether a folder above into (or into itself) is the given one reached by
// another path: a junction, a substituted drive, a short 8.3 name.
bool RestoreRun::SameFolderAbove(const std::wstring& into, const std::wstring& folder) {
    const std::wstring identity = fs_.FolderIdentity(IncludeTrailingBackslash(folder));
    if (identity.empty()) return false;  // not there: nothing of it can be overwritten
    for (std::wstring up = ExcludeTrailingBackslash(into); up.size() > 4;) {
        if (fs_.FolderIdentity(IncludeTrailingBackslash(up)) == identity) return true;
        std::wstring parent = ExcludeTrailingBackslash(ExtractFilePath(up));
        if (parent.size() >= up.size()) break;
        up = std::move(parent);
    }
    return false;
}

void RestoreRun::Run(const RestoreRequest& request) {
    if (underWay_) return;
    const ScopedFlag underWay(underWay_);

    events_.Preparing();
    std::wstring refusal;
    try {
        refusal = Refusal(request);
    } catch (...) {
        events_.Refused(L"");
        throw;
    }
    if (!refusal.empty()) return events_.Refused(refusal);
    events_.Started();
    log_.ResetCount();
    log_.Line(L"*** Visszaállítás indul: " + LogTimestamp());
    stop_.Reset();
    copier_.NewRun();
    log_.Line(L"*** Feladat: " + request.source + L" >> " + request.target);
    events_.TaskStarted(request.source, request.target);
    // A failure that escapes (memory running out on a huge tree) ends the
    // restore with its line, never leaves the surroundings running.
    try {
        Restore(request);
    } catch (const std::bad_alloc&) {
        log_.Error(request.target, L"Nincs elég memória");
    } catch (const std::exception& e) {
        log_.Error(request.target, AnsiToWide(e.what()));
    }
    progress_.Reset();
    copier_.ForgetFolder();
    const bool stopped = stop_.Requested();
    if (stopped) log_.Line(L"*** Visszaállítás megszakítva: " + LogTimestamp());
    log_.Line(L"*** Visszaállítás kész: " + LogTimestamp());
    report_.SetStatusText(L"");
    events_.Ended(log_.ErrorLines(), stopped);
}

void RestoreRun::Restore(const RestoreRequest& r) {
    // Nothing can have been replaced after now, and every copy there is now
    // was in the backup now: a moment not before now is the latest state,
    // also for a copy whose date lies in the future (a camera's wrong clock).
    std::optional<LocalTime> asOf = r.asOf;
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (asOf && !(*asOf < LocalTime::From(now))) asOf.reset();

    // The copies' folder is named after the source's last folder name, from
    // its full form as a run takes it.
    const std::wstring sourceLong =
        ExcludeTrailingBackslash(fs_.LongForm(IncludeTrailingBackslash(r.source)));
    const std::wstring lastName = sourceLong.substr(sourceLong.find_last_of(L'\\') + 1) + L"\\";
    const std::wstring target = IncludeTrailingBackslash(r.target), targetLong = fs_.LongForm(target);
    const std::wstring versionFolder = std::wstring(kVersionFolderName) + L"\\";
    const BackupTrees trees{targetLong + lastName, targetLong + versionFolder + lastName, target + lastName,
                            target + versionFolder + lastName};
    const std::wstring into = IncludeTrailingBackslash(r.into), intoLong = fs_.LongForm(into);
    log_.Line(L"*** Állapot: " + (asOf ? AnsiToWide(FormatMoment(*asOf)) : std::wstring(L"legutóbbi")) +
              L" >> " + into + ExcludeTrailingBackslash(lastName));

    // The folder asked for is there afterwards, also when nothing is restored.
    TargetFolders(fs_).Prepare(FolderPath(intoLong));
    const uint32_t made = fs_.GetAttributes(FolderPath(intoLong));
    if (made == INVALID_FILE_ATTRIBUTES || !(made & FILE_ATTRIBUTE_DIRECTORY))
        return log_.Error(ExcludeTrailingBackslash(into), fs_.ErrorText(ERROR_CANNOT_MAKE));

    const RestorePlan plan = scanner_.Scan(trees, asOf);
    if (stop_.Requested()) return;  // during the scan: the total is not known
    progress_.Start(plan.total);
    log_.Line(L"Összesen " + FormatTotal(plan.total));
    WriteFiles(plan, trees, intoLong + lastName, into + lastName);
}

void RestoreRun::WriteFiles(const RestorePlan& plan, const BackupTrees& trees, const std::wstring& intoLong,
                            const std::wstring& intoShown) {
    const PathList& files = plan.files;
    FilePaths p;
    std::wstring from, fromShown, to, toShown, name, restored;
    for (size_t f = 0; f < files.FolderCount(); ++f) {
        const std::wstring_view relative = files.Folder(f);
        const bool versions = plan.fromVersions[f];
        from.assign(versions ? trees.versions : trees.copies).append(relative);
        fromShown.assign(versions ? trees.versionsShown : trees.copiesShown).append(relative);
        to.assign(intoLong).append(relative);
        toShown.assign(intoShown).append(relative);
        for (size_t i = files.FirstFile(f); i < files.FirstFile(f + 1); ++i) {
            if (stop_.CheckNow()) return;
            name.clear();
            files.AppendName(i, name);
            // A version goes back under the name of the copy it was.
            restored = name;
            if (versions)
                if (auto parsed = ParseVersionFileName(name)) restored = parsed->fileName;
            p.source.assign(from).append(name);
            p.sourceShown.assign(fromShown).append(name);
            p.target.assign(to).append(restored);
            p.targetShown.assign(toShown).append(restored);
            // Into an empty folder: nothing is replaced, so no version is kept.
            copier_.Copy(p, FileAction::Write);
        }
    }
}

}  // namespace pelvane
