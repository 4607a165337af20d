#pragma once
// Which files of a task's list are copied. Every one by the first two
// methods (the archive-flag method chose its files in the scan); by the newer
// method only a file without a copy, or newer than its copy. The copies'
// dates come from one listing of their folder, not a look-up each.
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

class CopyDecision {
  public:
    explicit CopyDecision(FileSystem& fs) : fs_(fs) {}

    // The files that follow go to this target folder (a long form ending in
    // a backslash); it is listed once a file's decision needs its copies.
    void EnterFolder(const std::wstring& folder);
    // Whether the file (of the folder entered) is copied by the method.
    bool Copies(int method, std::wstring_view name, uint64_t lastWrite);
    // The task has ended: memory back, and nothing of it left for the next.
    void Clear();

  private:
    // An entry of the target folder's listing, a copy made by an earlier
    // run: its name and last-write time, or a folder in the way.
    struct Copy {
        std::wstring name;
        uint64_t lastWrite;
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
