#pragma once
// How a run goes, for its surroundings: Preparing, then either Refused or
// Started, TaskStarted for each task backed up, and Ended. Between them the
// run comes to its stop points, where the surroundings may act.
#include <string>

namespace pelvane {

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

    // A point where the run lets its surroundings act: the window processes
    // its pending messages (clicks, repaints, timer ticks), the console
    // program looks for Ctrl+C. A stop requested here ends the run
    // at its next check.
    virtual void StopPoint() = 0;
};

}  // namespace pelvane
