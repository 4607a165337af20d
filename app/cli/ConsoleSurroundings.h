#pragma once
// The console program's side of a backup run: log lines to standard output
// in UTF-8, an optional progress bar on standard error, Ctrl+C, Ctrl+Break
// and the closing of the console as the stop button.
#include <string>

#include "engine/BackupSurroundings.h"
#include "engine/RunLogFile.h"
#include "settings/SettingsKeys.h"

namespace pelvane {

struct RunOptions {
    int method = 0;
    bool clearArchiveFlag = false;
    std::string excludedTypes = keys::kNoFileDefault;
    bool onlyCurrent = false;
    bool progress = false;
};

class BackupEngine;

class ConsoleSurroundings : public BackupSurroundings {
  public:
    // Log lines also go to runLog when one is given (not owned).
    ConsoleSurroundings(TaskRows& tasks, const RunOptions& options, RunLogFile* runLog = nullptr)
        : tasks_(tasks), options_(options), runLog_(runLog) {}

    void SetEngine(BackupEngine* engine) { engine_ = engine; }
    bool SawError() const { return sawError_; }
    bool WasStopped() const { return stopped_; }

    TaskRows& Tasks() override { return tasks_; }
    void AppendLog(const std::wstring& line) override;
    void RunFinished(int, bool stopped) override { stopped_ = stopped; }  // the exit status tells
    void SetProgressMax(int max) override;
    int ProgressMax() override { return max_; }
    void SetProgressPosition(int position) override;
    void StepProgress(int amount) override { SetProgressPosition(position_ + amount); }
    void SetStatusText(const std::wstring&) override {}
    void ShowLogPage() override {}
    void EnableRunButton(bool) override {}
    void EnableStopButton(bool) override {}
    void EnableTaskGrid(bool) override {}
    void EnableDeleteAction(bool) override {}
    int Method() override { return options_.method; }
    bool ClearArchiveFlag() override { return options_.clearArchiveFlag; }
    bool OnlyCurrentTask() override { return options_.onlyCurrent; }
    std::string ExcludedTypes() override { return options_.excludedTypes; }
    void ShowError(const std::string& text) override;
    void ProcessMessages() override;

  private:
    void DrawProgress();

    TaskRows& tasks_;
    RunOptions options_;
    RunLogFile* runLog_;
    BackupEngine* engine_ = nullptr;
    bool sawError_ = false, stopped_ = false;
    int max_ = 0, position_ = 0, drawnPercent_ = -1;
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
