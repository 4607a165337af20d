#pragma once
// The copy of one file: written under a temporary name in its target folder
// and put in place only when complete, so a failed or stopped copy never
// destroys the previous good one; then dated and flagged as its source.
// While versions are kept, a copy of other content is first moved to its
// version (a rename), so its content is at every moment in one of the two
// places. Excluded files are left alone here too.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/CopyDecision.h"
#include "engine/ExclusionList.h"
#include "engine/FileSystem.h"
#include "engine/LogWriter.h"
#include "engine/ProgressMeter.h"
#include "engine/RunOptions.h"
#include "engine/StopRequest.h"
#include "engine/TargetFolders.h"

namespace pelvane {

// The two ends of one file: the long forms the file system is given, and
// the paths the user reads in the log.
struct FilePaths {
    std::wstring source, target;            // long forms
    std::wstring sourceShown, targetShown;  // ordinary forms
    // Where the copy's version goes (a long form ending in a backslash); ""
    // while no versions are kept.
    std::wstring versionFolder;
};

// The local time now, which names a version; tests give their own.
using LocalClock = SYSTEMTIME (*)();

class FileCopier {
  public:
    FileCopier(FileSystem& fs, RunOptions& options, RunReport& report, LogWriter& log,
               ProgressMeter& progress, StopRequest& stop);

    // One file, as decided (not Skip); failures become "Hiba: " lines,
    // nothing escapes. A stop ends the copy at once, the old copy kept.
    void Copy(const FilePaths& paths, FileAction action);
    // Whether the file is excluded (and so left alone): asked before the copy too.
    bool Excluded(const std::wstring& path) { return exclusions_.Excludes(options_.ExcludedTypes(), path); }

    void SetLocalClock(LocalClock clock) { clock_ = clock; }
    SYSTEMTIME LocalNow() const { return clock_(); }

    // A run starts: target folders are looked up again.
    void NewRun() { folders_.Clear(), versionFolders_.Clear(); }
    // A task failed: its folder is looked up again by the next one.
    void ForgetFolder() { folders_.Forget(), versionFolders_.Forget(); }

  private:
    enum class Result { Done, Failed, Stopped };

    void PassOver(const FilePaths& paths);
    std::unique_ptr<FileStream> CreateInFolder(const FilePaths& paths, std::wstring& temp);
    std::unique_ptr<FileStream> CreateTemporary(const std::wstring& target, std::wstring& temp, DWORD& error);
    bool TakenByAnotherRun(const std::wstring& temp, DWORD error);
    Result CopyBytes(FileStream& from, FileStream& to, uint64_t count, uint64_t& stepped,
                     std::wstring& error);
    bool PutInPlace(FileStream& temp, const std::wstring& target, DWORD& error);
    bool PutInPlaceKeepingVersion(FileStream& temp, const FilePaths& paths, FileAction action,
                                  std::wstring& failure);
    bool KeepVersion(const FilePaths& paths, std::wstring& version, std::wstring& failure);
    std::wstring MoveBack(const std::wstring& version, const std::wstring& target);
    void Discard(std::unique_ptr<FileStream> temp, const std::wstring& path);
    std::wstring FileError(const wchar_t* what, const std::wstring& path, DWORD code);

    FileSystem& fs_;
    RunOptions& options_;
    RunReport& report_;
    LogWriter& log_;
    ProgressMeter& progress_;
    StopRequest& stop_;
    TargetFolders folders_;
    TargetFolders versionFolders_;
    LocalClock clock_;
    ExclusionList exclusions_;
    std::vector<char> buffer_;  // 61 440 bytes
};

}  // namespace pelvane
