#pragma once
// The console program's side of a backup or restore run: its options as given (or
// stored), log lines to standard output in UTF-8, an optional progress bar
// with the file at hand on standard error, Ctrl+C, Ctrl+Break and the
// closing of the console as the stop button, and the outcome for the exit status.
#include <cstdint>
#include <string>

#include "engine/RunEvents.h"
#include "engine/RunLogFile.h"
#include "engine/RunOptions.h"
#include "engine/RunReport.h"
#include "settings/SettingsKeys.h"

namespace pelvane {

struct ConsoleOptions {
    int method = kCopyAll;
    bool clearArchiveFlag = false;
    std::string excludedTypes = keys::kNoFileDefault;
    bool currentTaskOnly = false;
    int versionDays = keys::kVersionDaysDefault;  // days a replaced copy is kept; 0 none
    int changeGuard = keys::kChangeGuardDefault;  // the change guard's percentage; 0 off
    bool acceptChanges = false;                   // tasks the guard holds go ahead
    bool progress = false;                        // draw the bar
};

class BackupRun;
class RestoreRun;

class ConsoleRun : public RunOptions, public RunReport, public RunEvents {
  public:
    // Log lines also go to runLog when one is given (not owned).
    explicit ConsoleRun(const ConsoleOptions& options, RunLogFile* runLog = nullptr)
        : options_(options), runLog_(runLog) {}

    // The run that Ctrl+C stops: a backup or a restore.
    void SetRun(BackupRun* run) { run_ = run; }
    void SetRun(RestoreRun* restore) { restore_ = restore; }
    // What the exit status tells: a "Hiba: " line or a run refused, and a stop.
    bool SawError() const { return sawError_; }
    bool WasStopped() const { return stopped_; }
    // Whether the change guard held a task (--accept-changes not given).
    bool WasHeld() const { return held_; }

    int Method() override { return options_.method; }
    bool ClearArchiveFlag() override { return options_.clearArchiveFlag; }
    std::string ExcludedTypes() override { return options_.excludedTypes; }
    bool CurrentTaskOnly() override { return options_.currentTaskOnly; }
    int VersionDays() override { return options_.versionDays; }
    int ChangeGuard() override { return options_.changeGuard; }

    void AppendLog(const std::wstring& line) override;
    void SetStatusText(const std::wstring& text) override;
    void SetProgressMax(int max) override;
    void SetProgressPosition(int position) override;
    void StepProgress(int amount) override { SetProgressPosition(position_ + amount); }

    void Refused(const std::wstring& reason) override;
    void Ended(int errorLines, bool stopped) override;
    void StopPoint() override;
    bool AcceptMassChange(const MassChange& change) override;
    std::wstring HowToAcceptMassChange() override;

  private:
    void DrawProgress(bool force = false);
    void EraseProgress();

    ConsoleOptions options_;
    RunLogFile* runLog_;
    BackupRun* run_ = nullptr;
    RestoreRun* restore_ = nullptr;
    bool sawError_ = false, stopped_ = false, held_ = false;
    int max_ = 0, position_ = 0, drawnPercent_ = -1;
    std::wstring status_, drawnStatus_;  // the file at hand, and as the bar shows it
    uint64_t drawnAt_ = 0;               // when the bar was drawn
};

// Writes a text line to standard output or error: UTF-16 to a console
// window, UTF-8 to a pipe or file. The narrow form takes the code page (1250).
void WriteLine(const std::wstring& line, bool toStderr = false);
void WriteLine(const std::string& ansi, bool toStderr = false);

// Installs the Ctrl+C handler; StopRequestedByUser() turns true on Ctrl+C,
// Ctrl+Break, or when the console is closed or the user logs off. For the
// last two the system ends the process once the handler returns, so the
// handler waits (a few seconds at most) for RunEnded(): the run's closing
// lines reach Pelvane.log.
void InstallCtrlCHandler();
bool StopRequestedByUser();
void RunEnded();

}  // namespace pelvane
