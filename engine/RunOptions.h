#pragma once
// The options a run reads while it goes on: the method and the archive flag
// at each task and file, the exclusions at each file, the current task only
// at the start, the versions and the change guard at each task. A change
// made during a run applies from the next file on.
#include <cstdint>
#include <string>

namespace pelvane {

// The copy methods: every file, the files whose archive flag is set, the
// files without a copy or newer than it. No method chosen (-1) copies as the first.
constexpr int kCopyAll = 0, kCopyArchived = 1, kCopyNewer = 2;

class RunOptions {
  public:
    virtual ~RunOptions() = default;
    virtual int Method() = 0;                 // kCopyAll..kCopyNewer; -1 when none is chosen
    virtual bool ClearArchiveFlag() = 0;      // clear the source's archive flag after its copy
    virtual std::string ExcludedTypes() = 0;  // ".tmp;.temp": extensions in the code page
    virtual bool CurrentTaskOnly() = 0;       // back up only the task rows' current one
    // Read at each task. Surroundings that say nothing keep no versions and
    // guard nothing, as runs did before there were versions.
    // Days a replaced copy is kept as a version; 0 keeps none (and removes none).
    virtual int VersionDays() { return 0; }
    // The change guard: a task is held when more than this percentage of its
    // copies (and at least kGuardMinimum) would be replaced; 0 turns it off.
    virtual int ChangeGuard() { return 0; }
};

// Fewer replaced copies than this never hold a task: a small task whose few
// files all changed is an ordinary day.
constexpr uint64_t kGuardMinimum = 20;

}  // namespace pelvane
