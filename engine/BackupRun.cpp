#include "engine/BackupRun.h"

#include <new>

#include "common/ScopedFlag.h"
#include "common/Text.h"

namespace pelvane {

BackupRun::BackupRun(TaskRows& tasks, RunOptions& options, RunReport& report, RunEvents& events,
                     FileSystem& fs)
    : tasks_(tasks),
      options_(options),
      report_(report),
      events_(events),
      log_(report),
      stop_(events),
      progress_(report),
      copier_(fs, options, report, log_, progress_, stop_),
      claims_(fs),
      task_(fs, options, events, log_, progress_, stop_, copier_) {}

void BackupRun::Run() {
    // Timer ticks and clicks are delivered at the run's stop points; a run
    // never nests inside another.
    if (underWay_) return;
    const ScopedFlag underWay(underWay_);

    if (!Prepare()) return;
    events_.Started();
    log_.ResetCount();
    log_.Line(L"*** Mentés indul: " + LogTimestamp());
    stop_.Reset();
    // The user may have removed or renamed target folders since the last run.
    copier_.NewRun();
    claims_.Clear();
    try {
        WalkTasks();
    } catch (const std::exception& e) {
        // A failure of the walk itself (the task rows) ends the run, never
        // leaves the surroundings in their running state.
        log_.Error(AnsiToWide(e.what()));
        progress_.Reset();
    }
    Finish();
}

// Stores a pending edit and tells whether there are tasks; a failure goes to
// the caller once the surroundings know that nothing has started.
bool BackupRun::Prepare() {
    events_.Preparing();
    try {
        if (!tasks_.InBrowseState()) tasks_.Post();
        if (tasks_.Count() > 0) return true;
    } catch (...) {
        events_.Refused(L"");
        throw;
    }
    events_.Refused(L"Nincs végrehajtható feladat");
    return false;
}

void BackupRun::WalkTasks() {
    // Any task's versions, also of a target that lies in another task's source.
    const int current = tasks_.Position();
    std::vector<std::wstring> targets;
    for (tasks_.First(); !tasks_.Eof(); tasks_.Next()) targets.push_back(tasks_.Target());
    task_.LeaveOutVersionsOf(targets);
    tasks_.MoveTo(current);

    if (!options_.CurrentTaskOnly()) {
        for (tasks_.First(); !tasks_.Eof(); tasks_.Next()) BackUpCurrentTask();
        return;
    }
    // The tasks before it claim their folders first, as in a run over all.
    if (current > 0) {
        int n = 0;
        for (tasks_.First(); !tasks_.Eof() && n < current; tasks_.Next(), ++n)
            claims_.Claim(tasks_.Source(), tasks_.Target());
        tasks_.MoveTo(current);
    }
    BackUpCurrentTask();
}

void BackupRun::BackUpCurrentTask() {
    const std::wstring source = tasks_.Source(), target = tasks_.Target();
    log_.Line(L"*** Feladat: " + source + L" >> " + target);
    if (stop_.Requested()) return;
    if (const CopyFolderClaims::Owner* owner = claims_.Claim(source, target))
        return log_.Error(source, L"Ugyanabba a mappába (" + owner->folder +
                                      L") mentene, mint egy korábbi feladat (" + owner->task +
                                      L"); nem fut le");
    events_.TaskStarted(source, target);
    // A failure that escapes the task (memory running out on a huge tree)
    // ends that task only.
    std::wstring failure;
    try {
        task_.Run(source, target);
        return;
    } catch (const std::bad_alloc&) {
        failure = L"Nincs elég memória";
    } catch (const std::exception& e) {
        failure = AnsiToWide(e.what());
    }
    log_.Error(source, failure);
    task_.Abandon();
}

void BackupRun::Finish() {
    // A stopped run must not read as one that did all its work.
    const bool stopped = stop_.Requested();
    if (stopped) log_.Line(L"*** Mentés megszakítva: " + LogTimestamp());
    log_.Line(L"*** Mentés kész: " + LogTimestamp());
    report_.SetStatusText(L"");
    events_.Ended(log_.ErrorLines(), stopped);
}

}  // namespace pelvane
