#include <windows.h>

#include <cstdio>

#include "engine/BackupEngine.h"

namespace pelvane {
namespace {

// "yyyy.mm.dd hh:mm:ss"; the colons are the system's time separator.
std::string Timestamp() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char sep[8] = ":";
    if (GetLocaleInfoA(GetThreadLocale(), LOCALE_STIME, sep, sizeof sep) < 2) sep[0] = ':';
    char text[64];
    snprintf(text, sizeof text, "%04u.%02u.%02u %02u%c%02u%c%02u", t.wYear, t.wMonth, t.wDay, t.wHour, sep[0],
             t.wMinute, sep[0], t.wSecond);
    return text;
}

}  // namespace

BackupEngine::BackupEngine(BackupSurroundings& surroundings, FileSystem& fs)
    : s_(surroundings), fs_(fs), buffer_(61440) {}

void BackupEngine::Button1Click() {
    // Timer ticks and clicks are delivered inside a run's message processing;
    // a run never nests inside another.
    if (inRun_) return;
    inRun_ = true;
    struct EndOfRun {
        bool& flag;
        ~EndOfRun() { flag = false; }
    } endOfRun{inRun_};

    s_.EnableTaskGrid(false);
    s_.EnableDeleteAction(false);
    TaskRows& rows = s_.Tasks();
    try {
        if (!rows.InBrowseState()) rows.Post();
        if (rows.Count() == 0) {
            s_.ShowError("Nincs végrehajtható feladat");
            s_.EnableTaskGrid(true);
            s_.EnableDeleteAction(true);
            return;
        }
    } catch (...) {
        // Nothing has started: give the grid back and let the caller report it.
        s_.EnableTaskGrid(true);
        s_.EnableDeleteAction(true);
        throw;
    }

    s_.EnableRunButton(false);
    s_.ShowLogPage();
    Log("*** Mentés indul: " + Timestamp());
    running_ = true;
    s_.EnableStopButton(true);
    try {
        if (s_.OnlyCurrentTask()) {
            HandleCurrentRow();
        } else {
            for (rows.First(); !rows.Eof(); rows.Next()) HandleCurrentRow();
        }
    } catch (const std::exception& e) {
        // A failure outside the per-file handling ends the run, never leaves
        // the window in its running state.
        Log(taskSource_ ? "Hiba: " + *taskSource_ + " : " + e.what() : std::string("Hiba: ") + e.what());
        taskSource_ = nullptr;
        ResetProgress();
    }
    Log("*** Mentés kész: " + Timestamp());
    s_.EnableRunButton(true);
    s_.EnableStopButton(false);
    s_.SetStatusText("");
    s_.EnableDeleteAction(true);
    s_.EnableTaskGrid(true);
}

void BackupEngine::HandleCurrentRow() {
    TaskRows& rows = s_.Tasks();
    std::string forras = rows.Source();
    std::string cel = rows.Target();
    Log("*** Feladat: " + forras + " >> " + cel);
    if (running_) ArchiveTask(forras, cel);
}

std::string FormatTotal(int64_t total) {
    std::string digits = std::to_string(total);
    std::string groups[4];
    size_t n = digits.size();
    // The three right-hand groups take three digits each; the first takes the rest.
    for (int g = 3; g >= 0; --g) {
        size_t take = g == 0 ? n : std::min<size_t>(3, n);
        groups[g] = digits.substr(n - take, take);
        n -= take;
    }
    return groups[0] + " " + groups[1] + " " + groups[2] + " " + groups[3];
}

}  // namespace pelvane
