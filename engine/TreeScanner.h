#pragma once
// The scan of a task's source tree: every file below it, folder by folder,
// with their total size.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/FileSystem.h"
#include "engine/LogWriter.h"
#include "engine/PathList.h"
#include "engine/StopRequest.h"

namespace pelvane {

// What a scan found.
struct ScanResult {
    PathList files;         // relative to the root
    int64_t total = 0;      // their sizes
    std::wstring root;      // the folder scanned, as given (ending in a backslash)
    std::wstring longRoot;  // and its long form, which reaches the files
};

class TreeScanner {
  public:
    TreeScanner(FileSystem& fs, LogWriter& log, StopRequest& stop) : fs_(fs), log_(log), stop_(stop) {}

    // Every file below folder (ending in a backslash), or only those with the
    // archive flag; hidden and system sub-folders are not entered. A folder
    // that cannot be listed gives a "Hiba: " line, and so does a name that
    // differs from an earlier one of its folder only in case (it is left out)
    // and a link back to a folder above. A stop ends the scan at the next folder.
    ScanResult Scan(const std::wstring& folder, bool archiveOnly);

    // The version folders of the run's targets (long forms, without a
    // trailing backslash): never scanned, even when a target lies in the
    // source. A folder of the same name anywhere else is the user's own.
    void LeaveOut(std::vector<std::wstring> versionFolders) { leftOut_ = std::move(versionFolders); }

  private:
    struct Walk;

    void TakeEntries(Walk& walk, const std::vector<FoundEntry>& entries, bool archiveOnly);
    bool NextFolder(Walk& walk);
    bool LeadsUp(Walk& walk);
    bool LeftOut(const Walk& walk, const std::wstring& name) const;

    FileSystem& fs_;
    LogWriter& log_;
    StopRequest& stop_;
    std::vector<std::wstring> leftOut_;
};

}  // namespace pelvane
