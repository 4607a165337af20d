#pragma once
// Surroundings that record what a run reports and tells, for the tests. The
// events set the controls as the window sets them, so a test reads the
// state a run leaves its surroundings in.
#include <functional>
#include <string>
#include <vector>

#include "common/Text.h"
#include "engine/BackupRun.h"
#include "engine/MemoryTaskRows.h"

namespace pelvane {

class RecordingSurroundings : public RunOptions, public RunReport, public RunEvents {
  public:
    explicit RecordingSurroundings(std::vector<MemoryTaskRows::Task> tasks = {}) : rows(std::move(tasks)) {}

    MemoryTaskRows rows;
    TaskRows* taskRows = &rows;  // the rows a RecordedRun walks
    std::vector<std::wstring> log;
    std::vector<int> finished;  // the error count of every run that ended
    std::vector<bool> stopped;  // and whether it was stopped
    std::vector<std::string> errors;
    std::vector<std::wstring> tasksStarted;  // "source >> target"
    int progressMax = 0, position = 0, steps = 0;
    long long stepped = 0;
    std::wstring status = L"unset";
    bool runButton = true, stopButton = false, grid = true, deleteAction = true, logPage = false;
    int method = 0;
    bool clearArchiveFlag = false, currentTaskOnly = false;
    int versionDays = 0, changeGuard = 0;  // as surroundings that say nothing
    bool acceptMassChange = false;
    std::wstring acceptHint = L"(how to go ahead)";
    std::vector<MassChange> massChanges;  // every question the guard asked
    std::string excluded = ".tmp;.temp";
    int messageCalls = 0;
    std::function<void()> onMessages;  // runs at every stop point

    int Method() override { return method; }
    bool ClearArchiveFlag() override { return clearArchiveFlag; }
    std::string ExcludedTypes() override { return excluded; }
    bool CurrentTaskOnly() override { return currentTaskOnly; }
    int VersionDays() override { return versionDays; }
    int ChangeGuard() override { return changeGuard; }

    void AppendLog(const std::wstring& line) override { log.push_back(line); }
    void SetStatusText(const std::wstring& text) override { status = text; }
    void SetProgressMax(int max) override { progressMax = max; }
    void SetProgressPosition(int p) override { position = p; }
    void StepProgress(int amount) override { position += amount, stepped += amount, ++steps; }

    void Preparing() override { grid = deleteAction = false; }
    void Refused(const std::wstring& reason) override {
        if (!reason.empty()) errors.push_back(WideToAnsi(reason));
        grid = deleteAction = true;
    }
    void Started() override { runButton = false, logPage = true, stopButton = true; }
    void TaskStarted(const std::wstring& source, const std::wstring& target) override {
        tasksStarted.push_back(source + L" >> " + target);
    }
    void Ended(int errorLines, bool wasStopped) override {
        finished.push_back(errorLines);
        stopped.push_back(wasStopped);
        runButton = true, stopButton = false, grid = deleteAction = true;
    }
    bool AcceptMassChange(const MassChange& change) override {
        massChanges.push_back(change);
        return acceptMassChange;
    }
    std::wstring HowToAcceptMassChange() override { return acceptHint; }
    void StopPoint() override {
        ++messageCalls;
        if (onMessages) onMessages();
    }

    // The log without the timestamped frame lines (the start, the end, a stop).
    std::vector<std::wstring> Body() const {
        std::vector<std::wstring> body;
        for (const auto& line : log)
            if (line.rfind(L"*** Mentés indul: ", 0) != 0 && line.rfind(L"*** Mentés kész: ", 0) != 0 &&
                line.rfind(L"*** Mentés megszakítva: ", 0) != 0)
                body.push_back(line);
        return body;
    }
    std::vector<std::wstring> Errors() const {
        std::vector<std::wstring> lines;
        for (const auto& line : log)
            if (line.rfind(L"Hiba: ", 0) == 0) lines.push_back(line);
        return lines;
    }
};

// A run over the recording surroundings' task rows, options, report and events.
class RecordedRun : public BackupRun {
  public:
    RecordedRun(RecordingSurroundings& s, FileSystem& fs) : BackupRun(*s.taskRows, s, s, s, fs) {}
};

}  // namespace pelvane
