#pragma once
// Surroundings that record what a run does to its window, for the tests.
#include <functional>
#include <string>
#include <vector>

#include "engine/BackupSurroundings.h"
#include "engine/MemoryTaskRows.h"

namespace pelvane {

class RecordingSurroundings : public BackupSurroundings {
  public:
    explicit RecordingSurroundings(std::vector<MemoryTaskRows::Task> tasks = {}) : rows(std::move(tasks)) {}

    MemoryTaskRows rows;
    TaskRows* taskRows = &rows;
    std::vector<std::wstring> log;
    std::vector<int> finished;  // the error count of every run that ended
    std::vector<bool> stopped;  // and whether it was stopped
    std::vector<std::string> errors;
    int progressMax = 0, position = 0, steps = 0;
    long long stepped = 0;
    std::wstring status = L"unset";
    bool runButton = true, stopButton = false, grid = true, deleteAction = true, logPage = false;
    int method = 0;
    bool clearArchiveFlag = false, onlyCurrent = false;
    std::string excluded = ".tmp;.temp";
    int messageCalls = 0;
    std::function<void()> onMessages;  // runs at every message-processing point

    TaskRows& Tasks() override { return *taskRows; }
    void AppendLog(const std::wstring& line) override { log.push_back(line); }
    void RunFinished(int errorLines, bool wasStopped) override {
        finished.push_back(errorLines);
        stopped.push_back(wasStopped);
    }
    void SetProgressMax(int max) override { progressMax = max; }
    int ProgressMax() override { return progressMax; }
    void SetProgressPosition(int p) override { position = p; }
    void StepProgress(int amount) override { position += amount, stepped += amount, ++steps; }
    void SetStatusText(const std::wstring& text) override { status = text; }
    void ShowLogPage() override { logPage = true; }
    void EnableRunButton(bool e) override { runButton = e; }
    void EnableStopButton(bool e) override { stopButton = e; }
    void EnableTaskGrid(bool e) override { grid = e; }
    void EnableDeleteAction(bool e) override { deleteAction = e; }
    int Method() override { return method; }
    bool ClearArchiveFlag() override { return clearArchiveFlag; }
    bool OnlyCurrentTask() override { return onlyCurrent; }
    std::string ExcludedTypes() override { return excluded; }
    void ShowError(const std::string& text) override { errors.push_back(text); }
    void ProcessMessages() override {
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

}  // namespace pelvane
