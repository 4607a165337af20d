#pragma once
// The backup run: the tasks walked in turn (all, or the current one), each
// backed up unless an earlier task's copies go to its folder, framed by the
// start and end lines, and stoppable at its stop points.
#include <string>

#include "engine/CopyFolders.h"
#include "engine/FileCopier.h"
#include "engine/FileSystem.h"
#include "engine/LogWriter.h"
#include "engine/ProgressMeter.h"
#include "engine/RunEvents.h"
#include "engine/RunOptions.h"
#include "engine/RunReport.h"
#include "engine/StopRequest.h"
#include "engine/TaskBackup.h"
#include "engine/TaskRows.h"

namespace pelvane {

class BackupRun {
  public:
    using Clock = StopRequest::Clock;

    // Keeps them all; the run reads the options and the task rows while it goes on.
    BackupRun(TaskRows& tasks, RunOptions& options, RunReport& report, RunEvents& events, FileSystem& fs);

    // The whole run, whoever asks for it (the user, the schedule, the console
    // program). A request that arrives while a run is under way is ignored.
    void Run();
    bool UnderWay() const { return underWay_; }

    // A stop asked for by the user: the run ends at its next stop point, also
    // inside a file. Nothing outside a run.
    void RequestStop() {
        if (underWay_) stop_.Request();
    }
    bool StopRequested() const { return underWay_ && stop_.Requested(); }

    void SetClock(Clock clock) { stop_.SetClock(clock); }
    // The local time that names versions and ages them.
    void SetLocalClock(LocalClock clock) { copier_.SetLocalClock(clock); }

  private:
    bool Prepare();
    void WalkTasks();
    void BackUpCurrentTask();
    void Finish();

    TaskRows& tasks_;
    RunOptions& options_;
    RunReport& report_;
    RunEvents& events_;
    LogWriter log_;
    StopRequest stop_;
    ProgressMeter progress_;
    FileCopier copier_;
    CopyFolderClaims claims_;
    TaskBackup task_;
    bool underWay_ = false;
};

}  // namespace pelvane
