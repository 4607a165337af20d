#pragma once
// Everything a backup run uses of its surroundings. The main window provides
// it with its controls; the console program and the tests with their own.
// The log and status texts come in UTF-16 with the true file names: each
// surrounding shows them as well as it can (the window in its code page).
#include <string>

#include "engine/TaskRows.h"

namespace pelvane {

class BackupSurroundings {
  public:
    virtual ~BackupSurroundings() = default;

    virtual TaskRows& Tasks() = 0;  // the task table

    virtual void AppendLog(const std::wstring& line) = 0;  // the log
    // After a run's end line and before the controls are given back: how
    // many "Hiba: " lines the run wrote (for the notice of a run unseen), and
    // whether it was stopped before its end.
    virtual void RunFinished(int errorLines, bool stopped) = 0;

    // The progress bar: the minimum is 0; the run keeps the range within 32 bits.
    virtual void SetProgressMax(int max) = 0;
    virtual int ProgressMax() = 0;
    virtual void SetProgressPosition(int position) = 0;
    virtual void StepProgress(int amount) = 0;

    virtual void SetStatusText(const std::wstring& text) = 0;  // the run's status line
    virtual void ShowLogPage() = 0;                            // brings the log to the front

    // What the user can do during a run: start one, stop it, edit or delete tasks.
    virtual void EnableRunButton(bool enabled) = 0;
    virtual void EnableStopButton(bool enabled) = 0;
    virtual void EnableTaskGrid(bool enabled) = 0;
    virtual void EnableDeleteAction(bool enabled) = 0;

    // Option values, read while the run goes on.
    virtual int Method() = 0;             // the copy method 0..2; -1 when none is selected
    virtual bool ClearArchiveFlag() = 0;  // clear the source's archive attribute after copying
    virtual bool OnlyCurrentTask() = 0;   // back up only the current task
    virtual std::string ExcludedTypes() = 0;

    virtual void ShowError(const std::string& text) = 0;
    virtual void ProcessMessages() = 0;
};

}  // namespace pelvane
