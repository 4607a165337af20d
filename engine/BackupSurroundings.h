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

    virtual TaskRows& Tasks() = 0;  // the task table Tbl

    virtual void AppendLog(const std::wstring& line) = 0;  // LogView1
    // After a run's end line and before the controls are given back: how
    // many "Hiba: " lines the run wrote (for the notice of a run unseen).
    virtual void RunFinished(int errorLines) = 0;

    // ProgressBar1: the minimum is 0; the run keeps the range within 32 bits.
    virtual void SetProgressMax(int max) = 0;
    virtual int ProgressMax() = 0;
    virtual void SetProgressPosition(int position) = 0;
    virtual void StepProgress(int amount) = 0;

    virtual void SetStatusText(const std::wstring& text) = 0;  // StatusBar1, panel 0
    virtual void ShowLogPage() = 0;                            // PageControl1, page "Napló"

    virtual void EnableRunButton(bool enabled) = 0;     // Button1
    virtual void EnableStopButton(bool enabled) = 0;    // Button5
    virtual void EnableTaskGrid(bool enabled) = 0;      // DBGrid1
    virtual void EnableDeleteAction(bool enabled) = 0;  // aTorol

    // Option values, read while the run goes on.
    virtual int MethodIndex() = 0;        // RadioGroup1; -1 when none is selected
    virtual bool ClearArchiveFlag() = 0;  // CheckBox4
    virtual bool OnlyCurrentTask() = 0;   // CheckBox2
    virtual std::string ExcludedTypes() = 0;

    virtual void ShowError(const std::string& text) = 0;
    virtual void ProcessMessages() = 0;
};

}  // namespace pelvane
