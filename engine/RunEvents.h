#pragma once
// How a run goes, for its surroundings: Preparing, then either Refused or
// Started, TaskStarted for each task backed up (AcceptMassChange for one
// that the change guard holds), and Ended. Between them the
// run comes to its stop points, where the surroundings may act.
#include <cstdint>
#include <string>

namespace pelvane {

// A task that would replace more of its copies than the change guard allows.
struct MassChange {
    std::wstring source, target;  // the task's folders
    uint64_t changed = 0;         // copies it would replace by other content
    uint64_t existing = 0;        // copies in the target folders it looked at
    int limit = 0;                // the guard's percentage
};

class RunEvents {
  public:
    virtual ~RunEvents() = default;

    // The task rows are about to be read (a pending edit stored): nothing may
    // change them until the run has been refused or has ended.
    virtual void Preparing() {}
    // The run does not start: reason says why (no tasks). It is empty when
    // the task rows failed: that failure follows as an exception from the run.
    virtual void Refused(const std::wstring& reason) = 0;
    // The run has really started; its first log line follows.
    virtual void Started() {}
    // A task's scan and copies begin (it is not stopped and has a folder of its own).
    virtual void TaskStarted(const std::wstring& /*source*/, const std::wstring& /*target*/) {}
    // After the run's end line: how many "Hiba: " lines it wrote, and whether
    // it was stopped before its end.
    virtual void Ended(int errorLines, bool stopped) = 0;

    // Whether a task held by the change guard goes ahead all the same; the
    // surroundings may ask the user. A task held writes a "Hiba: " line.
    virtual bool AcceptMassChange(const MassChange& /*change*/) { return false; }
    // How the user lets such a task go ahead in these surroundings, for the
    // end of its "Hiba: " line ("" says nothing).
    virtual std::wstring HowToAcceptMassChange() { return {}; }

    // A point where the run lets its surroundings act: the window processes
    // its pending messages (clicks, repaints, timer ticks), the console
    // program looks for Ctrl+C. A stop requested here ends the run
    // at its next check.
    virtual void StopPoint() = 0;
};

}  // namespace pelvane
