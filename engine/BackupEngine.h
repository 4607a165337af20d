#pragma once
// The backup run: walks the tasks, scans each source tree, maps its files to
// the target tree and copies those the method selects.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/BackupSurroundings.h"
#include "engine/FileSystem.h"
#include "engine/PathList.h"

namespace pelvane {

class BackupEngine {
  public:
    // Milliseconds from some fixed point: how a copy knows when to let the
    // window work again. GetTickCount64 unless a test gives its own.
    using Clock = uint64_t (*)();

    BackupEngine(BackupSurroundings& surroundings, FileSystem& fs);

    // The run (the run button, the continuous timer and the daily check).
    // A request that arrives while a run is under way is ignored.
    void Run();
    // The stop button: the run ends at its next stop check, also inside a file.
    void RequestStop() { running_ = false; }

    bool Running() const { return running_; }
    bool InRun() const { return inRun_; }

    // One task: scan, log the total, map, copy what the method selects.
    void ArchiveTask(const std::wstring& forras, const std::wstring& cel);

    // Appends every file below folder (ending in a backslash) to list and
    // returns their total size; hidden and system sub-folders are not
    // entered. A folder that cannot be listed gives a "Hiba: " line, and so
    // does a name that differs from an earlier one of its folder only in
    // case (it is left out). A stop ends the scan at the next folder. The
    // listing that gives the files also gives the sub-folders, so pattern
    // must match every name ("*").
    int64_t CollectFiles(const std::wstring& folder, const std::wstring& pattern, bool recurse,
                         PathList& list, bool archiveOnly);

    void SetClock(Clock clock) { clock_ = clock; }

    // Names as the file system matches them: without regard to case.
    struct NameLess {
        bool operator()(std::wstring_view a, std::wstring_view b) const;
    };

  private:
    // The two ends of one file: the long forms the file system is given, and
    // the paths the user reads in the log.
    struct FilePaths {
        std::wstring source, target;            // long forms
        std::wstring sourceShown, targetShown;  // ordinary forms
    };
    // An entry of a target folder's listing, a copy made by an earlier run:
    // its name and last-write time (a FILETIME), or a folder in the way.
    struct CopyEntry {
        std::wstring name;
        uint64_t lastWrite;
        bool folder;
    };
    // The first task of the run whose copies go to a folder, and that folder as shown.
    struct FolderOwner {
        std::wstring task, folder;
    };

    void HandleCurrentRow();
    // Claims the folder the task's copies go to; the task that already holds it, if any.
    const FolderOwner* ClaimCopyFolder(const std::wstring& forras, const std::wstring& cel);
    void EndTaskOnFailure(const std::wstring& forras, const std::wstring& message);
    bool StopRequested();  // processes pending messages, then looks at Running
    bool Stopped() const { return inRun_ && !running_; }
    void Log(const std::wstring& line) { s_.AppendLog(line); }
    void LogError(const std::wstring& path, const std::wstring& message) {
        ++errorLines_;
        Log(L"Hiba: " + path + L" : " + message);
    }
    std::wstring FileError(const wchar_t* what, const std::wstring& path, DWORD code);
    // One file; failures become "Hiba: " log lines, nothing escapes.
    void CopyOneFile(const FilePaths& paths);
    void ListCopies(const std::wstring& folder);
    const CopyEntry* FindCopy(std::wstring_view name) const;
    bool IsExcluded(const std::wstring& source);
    bool DirectoryExists(const std::wstring& path);
    bool ForceDirectories(std::wstring folder);
    void EnsureFolder(const std::wstring& folder);
    void RemoveStaleTemporaries(const std::wstring& folder);
    std::unique_ptr<FileStream> CreateTemporary(const std::wstring& target, std::wstring& temp, DWORD& error);
    bool TakenByAnotherRun(const std::wstring& temp, DWORD error);
    enum class CopyResult { Done, Failed, Stopped };
    CopyResult CopyBytes(FileStream& from, FileStream& to, uint64_t count, std::wstring& error);
    bool PutInPlace(FileStream& temp, const std::wstring& target, DWORD& error);
    void Discard(std::unique_ptr<FileStream> temp, const std::wstring& path);  // deletes an unfinished copy
    void StartProgress(int64_t total);
    void StepProgress(int64_t bytes);
    void ResetProgress();

    BackupSurroundings& s_;
    FileSystem& fs_;
    Clock clock_;
    int errorLines_ = 0;  // "Hiba: " lines of the run under way
    bool running_ = false;
    bool inRun_ = false;
    std::map<std::wstring, FolderOwner, NameLess> copyFolders_;  // of the run's tasks so far, long forms
    std::wstring scanShown_;                                     // the folder CollectFiles was given
    std::wstring scanLong_;                                      // and its long form
    std::wstring lastFolder_;                                    // the target folder last found or made
    std::wstring sweptFolder_;            // the target folder last cleared of stale temporary files
    std::vector<CopyEntry> copies_;       // the current target folder's files (method 2)
    std::string excludedText_;            // ExcludedTypes as last read
    std::vector<std::wstring> excluded_;  // and its fields, lower-cased
    std::vector<char> buffer_;            // the copy buffer, 61 440 bytes
    uint64_t lastPump_ = 0;               // when messages were last processed
    uint64_t fileStepped_ = 0;            // bytes of the current file already on the bar
    unsigned progressShift_ = 0;          // bytes >> shift fits the 32-bit bar
    uint64_t progressBytes_ = 0;
    int progressPosition_ = 0;
};

// "### ### ### ##0": digits fill twelve places from the right in groups of
// three; the three separating blanks always stand; longer numbers extend left.
std::wstring FormatTotal(int64_t total);

// The folder a task's copies go to, as a long form: the target folder and
// the source's last folder name, both from their full forms (where "." and
// ".." are resolved). Two tasks with the same one would overwrite each other.
std::wstring CopyFolder(FileSystem& fs, const std::wstring& forras, const std::wstring& cel);

}  // namespace pelvane
