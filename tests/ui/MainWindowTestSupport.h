#pragma once
// Helpers for driving the main window in tests: its program folder, modal
// boxes answered from a timer, a probe that runs inside a backup run's
// message processing, keys sent through the application's loop, and PNG
// screenshots.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/ScratchFolder.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/MainWindow.h"

namespace pelvane::test {

// The test program's own folder stands for the program folder (it is not the
// build's bin folder): sqlite3.dll is copied there once, and every test starts
// with an empty task table and no settings file.
void ResetProgramFolder(bool withTable = true);
std::string ProgramFile(const std::string& name);
std::string ReadIni(const std::string& section, const std::string& key);

// Source and target trees for the backup runs (the name these tests use).
using TreeFolder = ScratchFolder;

// The main form's part in the tests: records what the window asks of it.
struct FakeMainForm : MainFormLink {
    int trayActivations = 0;
    int closes = 0;
    void ActivateTrayIcon() override { ++trayActivations; }
    void CloseMainForm() override { ++closes; }
    HWND MainFormHandle() override { return nullptr; }
    struct RunResult {
        std::string tip, balloon;
    };
    std::vector<RunResult> results;
    void ShowRunResult(const std::string& tip, const std::string& balloon) override {
        results.push_back({tip, balloon});
    }
};

// Runs action when a message posted now is handled: inside a backup run that
// is its first processing of pending messages.
void AtNextMessageProcessing(std::function<void()> action);

// A key press posted to wnd and handled by the application's loop (so the
// message hook sees it), with Ctrl held as given.
void PostKey(HWND wnd, UINT vk, bool ctrl = false);
// Handles what is queued through the application's loop.
void ProcessQueue();

// The window as it is on the screen, as a PNG file; returns false on failure.
bool SavePng(HWND wnd, const std::string& path);

}  // namespace pelvane::test
