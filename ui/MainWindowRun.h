#pragma once
// The main window as the surroundings of a backup run: the task table's
// rows, the log page and Pelvane.log, the progress and status bars, the
// controls a run disables, and the options it reads.
#include <string>

#include "engine/BackupSurroundings.h"
#include "engine/RunLogFile.h"
#include "store/TableTaskRows.h"

namespace pelvane {

class TaskStore;
class Tfrm_Main;

class MainWindowRun : public BackupSurroundings {
  public:
    // Keeps the three; the window's controls are looked up when a run uses them.
    MainWindowRun(Tfrm_Main& window, TaskStore& store, RunLogFile& runLog);

    TaskRows& Tasks() override { return rows_; }
    // Names outside the code page show "?" on the page; the file keeps them.
    void AppendLog(const std::wstring& line) override;
    void RunFinished(int errorLines, bool stopped) override;
    void SetProgressMax(int max) override;
    int ProgressMax() override;
    void SetProgressPosition(int position) override;
    void StepProgress(int amount) override;
    void SetStatusText(const std::wstring& text) override;
    void ShowLogPage() override;
    void EnableRunButton(bool enabled) override;
    void EnableStopButton(bool enabled) override;
    void EnableTaskGrid(bool enabled) override;
    void EnableDeleteAction(bool enabled) override;
    int Method() override;
    bool ClearArchiveFlag() override;
    bool OnlyCurrentTask() override;
    std::string ExcludedTypes() override;
    void ShowError(const std::string& text) override;
    void ProcessMessages() override;

  private:
    HWND Control(int id) const;

    Tfrm_Main& window_;
    RunLogFile& runLog_;
    TableTaskRows rows_;
};

}  // namespace pelvane
