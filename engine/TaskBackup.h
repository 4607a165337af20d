#pragma once
// One task of a run: its source tree scanned, the total logged, what becomes
// of each file decided (the change guard may hold the task here), each file
// copied to the same place below the target folder's copy folder (the
// source's last folder name), and its versions past keeping removed.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/CopyDecision.h"
#include "engine/FileCopier.h"
#include "engine/RunEvents.h"
#include "engine/TreeScanner.h"
#include "engine/VersionPrune.h"

namespace pelvane {

class TaskBackup {
  public:
    TaskBackup(FileSystem& fs, RunOptions& options, RunEvents& events, LogWriter& log,
               ProgressMeter& progress, StopRequest& stop, FileCopier& copier)
        : fs_(fs),
          options_(options),
          events_(events),
          log_(log),
          progress_(progress),
          stop_(stop),
          copier_(copier),
          scanner_(fs, log, stop),
          decision_(fs),
          prune_(fs, log, stop) {}

    // Backs up the tree of source to target; failures of files and folders
    // become "Hiba: " lines. What escapes (memory running out) leaves the
    // task for Abandon.
    void Run(const std::wstring& source, const std::wstring& target);
    // After a failure that escaped Run: nothing of the task is kept for the next.
    void Abandon();
    // The run's targets, whose version folders no task's scan enters (see TreeScanner::LeaveOut).
    void LeaveOutVersionsOf(const std::vector<std::wstring>& targets);

  private:
    // Where the task's files go: long forms ending in a backslash, and as shown.
    struct Places {
        std::wstring copies, copiesShown;
        std::wstring versions, versionsShown;
    };
    // What the pass before the copies found: an action per file, and the
    // change guard's counts.
    struct Plan {
        int method = kCopyAll;
        bool lookAtCopies = false;
        std::vector<FileAction> actions;
        uint64_t changed = 0, existing = 0;
        bool stopped = false;
    };

    Places PlacesOf(const ScanResult& scan, const std::wstring& target);
    Plan Decide(const ScanResult& scan, const Places& places, bool lookAtCopies, bool countCopies);
    bool GoesAhead(const Plan& plan, const std::wstring& source, const std::wstring& target, int guard);
    void CopyFiles(const ScanResult& scan, const Places& places, const Plan& plan, bool keepVersions);

    FileSystem& fs_;
    RunOptions& options_;
    RunEvents& events_;
    LogWriter& log_;
    ProgressMeter& progress_;
    StopRequest& stop_;
    FileCopier& copier_;
    TreeScanner scanner_;
    CopyDecision decision_;
    VersionPrune prune_;
};

// "### ### ### ##0": digits fill twelve places from the right in groups of
// three; the three separating blanks always stand; longer numbers extend left.
std::wstring FormatTotal(int64_t total);

}  // namespace pelvane
