#pragma once
// One task of a run: its source tree scanned, the total logged, and each
// file the method selects copied to the same place below the target folder's
// copy folder (the source's last folder name).
#include <cstdint>
#include <string>

#include "engine/CopyDecision.h"
#include "engine/FileCopier.h"
#include "engine/TreeScanner.h"

namespace pelvane {

class TaskBackup {
  public:
    TaskBackup(FileSystem& fs, RunOptions& options, LogWriter& log, ProgressMeter& progress,
               StopRequest& stop, FileCopier& copier)
        : fs_(fs),
          options_(options),
          log_(log),
          progress_(progress),
          stop_(stop),
          copier_(copier),
          scanner_(fs, log, stop),
          decision_(fs) {}

    // Backs up the tree of source to target; failures of files and folders
    // become "Hiba: " lines. What escapes (memory running out) leaves the
    // task for Abandon.
    void Run(const std::wstring& source, const std::wstring& target);
    // After a failure that escaped Run: nothing of the task is kept for the next.
    void Abandon();

  private:
    void CopyFiles(const ScanResult& scan, const std::wstring& target);

    FileSystem& fs_;
    RunOptions& options_;
    LogWriter& log_;
    ProgressMeter& progress_;
    StopRequest& stop_;
    FileCopier& copier_;
    TreeScanner scanner_;
    CopyDecision decision_;
};

// "### ### ### ##0": digits fill twelve places from the right in groups of
// three; the three separating blanks always stand; longer numbers extend left.
std::wstring FormatTotal(int64_t total);

}  // namespace pelvane
