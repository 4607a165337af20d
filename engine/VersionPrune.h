#pragma once
// The versions of a task past keeping, removed at the end of its run, and the
// version folders they leave empty. Only below the task's own version folder,
// only files whose names a version has, and never through a link.
#include <string>

#include "engine/FileSystem.h"
#include "engine/LogWriter.h"
#include "engine/StopRequest.h"
#include "engine/VersionName.h"

namespace pelvane {

class VersionPrune {
  public:
    VersionPrune(FileSystem& fs, LogWriter& log, StopRequest& stop) : fs_(fs), log_(log), stop_(stop) {}

    // Removes the versions below root (the task's version folder, a long form
    // ending in a backslash; shown as the user reads it) replaced more than
    // keepDays days before now. What cannot be removed gives a "Hiba: " line;
    // a stop ends the prune at the next folder.
    void Run(const std::wstring& root, const std::wstring& shown, int keepDays, const LocalTime& now);

  private:
    FileSystem& fs_;
    LogWriter& log_;
    StopRequest& stop_;
};

}  // namespace pelvane
