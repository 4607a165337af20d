#pragma once
// The restore of one task's backup: its tree as it stood at a moment (or as
// it stands now) written into a new or empty folder, framed by the run's
// lines and stoppable like a backup. It reads the copies and the versions
// and never writes into the target or the source.
#include <optional>
#include <string>

#include "engine/FileCopier.h"
#include "engine/FileSystem.h"
#include "engine/LogWriter.h"
#include "engine/ProgressMeter.h"
#include "engine/RestoreScanner.h"
#include "engine/RunEvents.h"
#include "engine/RunOptions.h"
#include "engine/RunReport.h"
#include "engine/StopRequest.h"
#include "engine/VersionName.h"

namespace pelvane {

struct RestoreRequest {
    std::wstring source, target;    // the task's folders, as stored or given to a run
    std::wstring into;              // the folder the task's tree goes into: new or empty
    std::optional<LocalTime> asOf;  // none: the latest state
};

class RestoreRun {
  public:
    using Clock = StopRequest::Clock;

    RestoreRun(RunReport& report, RunEvents& events, FileSystem& fs);

    // Why the restore may not run (in the user's words), or "": both folders
    // of the task are needed, and into must be new or empty and may be
    // neither the target nor the source nor lie inside them, by name or
    // through another path to the same folder.
    std::wstring Refusal(const RestoreRequest& request);

    // The whole restore; refused (through the events) as Refusal says. Each
    // file is written as its chosen copy or version is, with its date and
    // attributes. A request while one is under way is ignored.
    void Run(const RestoreRequest& request);
    bool UnderWay() const { return underWay_; }

    // A stop asked for by the user: the restore ends at its next stop point,
    // also inside a file, whose part written is removed.
    void RequestStop() {
        if (underWay_) stop_.Request();
    }
    bool StopRequested() const { return underWay_ && stop_.Requested(); }

    void SetClock(Clock clock) { stop_.SetClock(clock); }

  private:
    // What the copier reads: every file is written, the copies are never touched.
    struct Options : RunOptions {
        int Method() override { return kCopyAll; }
        bool ClearArchiveFlag() override { return false; }
        std::string ExcludedTypes() override { return {}; }
        bool CurrentTaskOnly() override { return false; }
    };

    void Restore(const RestoreRequest& request);
    void WriteFiles(const RestorePlan& plan, const BackupTrees& trees, const std::wstring& intoLong,
                    const std::wstring& intoShown);
    bool SameFolderAbove(const std::wstring& intoLong, const std::wstring& folderLong);

    RunReport& report_;
    RunEvents& events_;
    FileSystem& fs_;
    Options options_;
    LogWriter log_;
    StopRequest stop_;
    ProgressMeter progress_;
    FileCopier copier_;
    RestoreScanner scanner_;
    bool underWay_ = false;
};

}  // namespace pelvane
