#pragma once
// What becomes of each file of a task's list, decided before anything is
// copied. The newer method copies only a file without a copy or newer than
// it (the archive-flag method chose its files in the scan); with versions
// kept or the change guard on, every copy is looked at: a copy of other
// content is replaced (its version kept first), one of the same date and size
// only written over. The copies' dates and sizes come from one listing of
// their folder, not a look-up each.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/FileSystem.h"

namespace pelvane {

// Whether a source's time is newer than its copy's: by two seconds or more,
// as FAT targets keep their times in two-second steps. Both are the file
// times themselves, in UTC: a date packed in local time would shift with a
// change of daylight saving time.
bool Newer(uint64_t source, uint64_t copy);

// What a run does with one file, one byte each: a million-file task keeps them all.
enum class FileAction : uint8_t {
    Skip,     // the newer method: the copy is as new as the file
    Write,    // no copy (or a folder in its way, or copies not looked at)
    Rewrite,  // a copy of the same date and size: written over, no version kept
    Replace,  // a copy of other content: its version is kept before it goes
};

class CopyDecision {
  public:
    explicit CopyDecision(FileSystem& fs) : fs_(fs) {}

    // The files that follow go to this target folder (a long form ending in
    // a backslash); it is listed once something needs its copies.
    void EnterFolder(const std::wstring& folder);
    // The copies in the folder entered: its files, not our temporary ones.
    uint64_t CountCopies();
    // What becomes of a file of the folder entered. Its copy is looked at by
    // the newer method, and by the others when lookAtCopies; a file whose
    // copy is not looked at is written as if it had none.
    FileAction Decide(int method, bool lookAtCopies, std::wstring_view name, uint64_t lastWrite,
                      uint64_t size);
    // The task has ended: memory back, and nothing of it left for the next.
    void Clear();

  private:
    // An entry of the target folder's listing, a copy made by an earlier
    // run: its name, last-write time and size, or a folder in the way.
    struct Copy {
        std::wstring name;
        uint64_t lastWrite;
        uint64_t size;
        bool folder;
    };

    void ListCopies();
    const Copy* FindCopy(std::wstring_view name) const;

    FileSystem& fs_;
    std::wstring folder_;
    bool listed_ = false;
    std::vector<Copy> copies_;  // of folder_, by name
};

}  // namespace pelvane
