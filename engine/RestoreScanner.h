#pragma once
// The scan of a task's backup for a restore: its copy tree and its version
// tree walked side by side, folder by folder, and for each file the content
// that the moment asked for chooses (the copy, one of its versions, or none).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/FileSystem.h"
#include "engine/LogWriter.h"
#include "engine/PathList.h"
#include "engine/StopRequest.h"
#include "engine/VersionName.h"

namespace pelvane {

// The two trees of one task's backup, each ending in a backslash: the long
// forms that reach the files, and the forms the log shows.
struct BackupTrees {
    std::wstring copies, versions;
    std::wstring copiesShown, versionsShown;
};

// What a restore writes: files by their folder relative to the trees. A
// folder's files come either all from the copy tree (by the copies' names)
// or all from the version tree (by the versions' names, which give the
// restored name when parsed).
struct RestorePlan {
    PathList files;
    std::vector<bool> fromVersions;  // for each folder of files
    int64_t total = 0;               // their sizes
};

// A file time (UTC) as the local wall-clock time of its day, to the second:
// what version names and the user's moments are given in.
LocalTime LocalTimeOf(uint64_t fileTime);

class RestoreScanner {
  public:
    RestoreScanner(FileSystem& fs, LogWriter& log, StopRequest& stop) : fs_(fs), log_(log), stop_(stop) {}

    // Both trees, the version tree where it exists. A folder that cannot be
    // listed gives a "Hiba: " line; so does a copy tree that is not there
    // when there is no version tree either (nothing of the task was ever
    // saved there). Temporary files of runs and versions whose names carry
    // no time are not restored. A stop ends the scan at the next folder.
    RestorePlan Scan(const BackupTrees& trees, const std::optional<LocalTime>& asOf);

  private:
    struct Walk;
    struct Listing;

    void ListFolder(Walk& walk, bool inCopies, bool inVersions, Listing& listing);
    void Choose(Walk& walk, Listing& listing);
    bool NextFolder(Walk& walk, bool& inCopies, bool& inVersions);
    bool LeadsUp(Walk& walk, bool inCopies);

    FileSystem& fs_;
    LogWriter& log_;
    StopRequest& stop_;
};

}  // namespace pelvane
