#pragma once
// The backup run: walks the tasks, scans each source tree, maps its files to
// the target tree and copies those the method selects.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/BackupSurroundings.h"
#include "engine/FileSystem.h"
#include "engine/PathList.h"

namespace pelvane {

class BackupEngine {
  public:
    BackupEngine(BackupSurroundings& surroundings, FileSystem& fs);

    // The run (the run button, the continuous timer and the daily check).
    // A request that arrives while a run is under way is ignored.
    void Button1Click();
    // The stop button: the run ends at its next stop check.
    void Button5Click() { running_ = false; }

    bool Running() const { return running_; }
    bool InRun() const { return inRun_; }

    // One task: scan, log the total, map, copy what the method selects.
    void ArchiveTask(const std::string& forras, const std::string& cel);
    // One file; failures become "Hiba: " log lines, nothing escapes.
    void CopyOneFile(const std::string& source, const std::string& target);

    // Appends every file below folder (ending in a backslash) to list and
    // returns their total size; hidden and system sub-folders are not entered.
    int64_t CollectFiles(const std::string& folder, const std::string& pattern, bool recurse, PathList& list,
                         bool archiveOnly);

  private:
    void HandleCurrentRow();
    bool StopRequested();  // processes pending messages, then looks at Running
    void Log(const std::string& line) { s_.AppendLog(line); }
    void LogError(const std::string& path, const std::string& message) {
        Log("Hiba: " + path + " : " + message);
    }
    std::string FileError(const char* what, const std::string& path, DWORD code);
    bool IsExcluded(const std::string& source);
    bool DirectoryExists(const std::string& path);
    bool ForceDirectories(std::string folder);
    void EnsureFolder(const std::string& folder);
    std::unique_ptr<FileStream> CreateTemporary(const std::string& target, std::string& temp, DWORD& error);
    bool CopyBytes(FileStream& from, FileStream& to, uint64_t count, std::string& error);
    bool PutInPlace(const std::string& temp, const std::string& target, DWORD& error);
    void StartProgress(int64_t total);
    void StepProgress(uint64_t bytes);
    void ResetProgress();

    BackupSurroundings& s_;
    FileSystem& fs_;
    bool running_ = false;
    bool inRun_ = false;
    const std::string* taskSource_ = nullptr;  // the task being backed up, for failures that escape it
    std::string lastFolder_;                   // the target folder last found or made
    std::vector<char> buffer_;                 // the copy buffer, 61 440 bytes
    unsigned progressShift_ = 0;               // bytes >> shift fits the 32-bit bar
    uint64_t progressBytes_ = 0;
    int progressPosition_ = 0;
};

// "### ### ### ##0": digits fill twelve places from the right in groups of
// three; the three separating blanks always stand; longer numbers extend left.
std::string FormatTotal(int64_t total);

}  // namespace pelvane
