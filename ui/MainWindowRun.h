#pragma once
// The main window as the surroundings of a backup run: the task table's
// rows, the options the run reads, its report on the log page, Pelvane.log,
// the progress and status bars, and its events mapped onto the controls.
#include <string>

#include "engine/RunEvents.h"
#include "engine/RunLogFile.h"
#include "engine/RunOptions.h"
#include "engine/RunReport.h"
#include "store/TableTaskRows.h"

namespace pelvane {

class TaskStore;
class Tfrm_Main;

class MainWindowRun : public RunOptions, public RunReport, public RunEvents {
  public:
    // Keeps the three; the window's controls are looked up when a run uses them.
    MainWindowRun(Tfrm_Main& window, TaskStore& store, RunLogFile& runLog);

    TaskRows& Tasks() { return rows_; }

    int Method() override;
    bool ClearArchiveFlag() override;
    std::string ExcludedTypes() override;
    bool CurrentTaskOnly() override;
    // From the "Védelem" fields, read at each task.
    int VersionDays() override;
    int ChangeGuard() override;

    // A run the user started by the button asks before a held task goes
    // ahead; a scheduled one holds it, as nobody may be there to answer.
    void SetAskUser(bool ask) { askUser_ = ask; }
    bool AcceptMassChange(const MassChange& change) override;
    std::wstring HowToAcceptMassChange() override;

    // Names outside the code page show "?" on the page; the file keeps them.
    void AppendLog(const std::wstring& line) override;
    void SetStatusText(const std::wstring& text) override;
    void SetProgressMax(int max) override;
    void SetProgressPosition(int position) override;
    void StepProgress(int amount) override;

    // The grid and the delete action are disabled while the run reads the
    // tasks; the run button, the stop button and the log page follow its start.
    void Preparing() override;
    void Refused(const std::wstring& reason) override;
    void Started() override;
    void Ended(int errorLines, bool stopped) override;
    void StopPoint() override;

  private:
    HWND Control(int id) const;
    // The notification-area icon's tip and, for a run nobody watched, its balloon.
    void ShowResult(int errorLines, bool stopped);
    void EnableTaskEditing(bool enabled);

    Tfrm_Main& window_;
    RunLogFile& runLog_;
    TableTaskRows rows_;
    bool askUser_ = false;
};

}  // namespace pelvane
