#include <windows.h>

#include <cstdio>

#include "common/Text.h"
#include "engine/BackupEngine.h"

namespace pelvane {
namespace {

// "yyyy.mm.dd hh:mm:ss"; the colons are the system's time separator.
std::wstring Timestamp() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    wchar_t sep[8] = L":";
    if (GetLocaleInfoW(GetThreadLocale(), LOCALE_STIME, sep, 8) < 2) sep[0] = L':';
    wchar_t text[64];
    swprintf(text, 64, L"%04u.%02u.%02u %02u%lc%02u%lc%02u", t.wYear, t.wMonth, t.wDay, t.wHour, sep[0],
             t.wMinute, sep[0], t.wSecond);
    return text;
}

uint64_t TickCount() {
    return GetTickCount64();
}

}  // namespace

BackupEngine::BackupEngine(BackupSurroundings& surroundings, FileSystem& fs)
    : s_(surroundings), fs_(fs), clock_(TickCount), buffer_(61440) {}

void BackupEngine::Run() {
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
    Log(L"*** Mentés indul: " + Timestamp());
    errorLines_ = 0;
    running_ = true;
    // The user may have removed or renamed target folders since the last run.
    lastFolder_.clear();
    lastPump_ = clock_();
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
        const std::wstring message = AnsiToWide(e.what());
        ++errorLines_;
        Log(inTask_ ? L"Hiba: " + taskSource_ + L" : " + message : L"Hiba: " + message);
        inTask_ = false;
        ResetProgress();
    }
    Log(L"*** Mentés kész: " + Timestamp());
    s_.RunFinished(errorLines_);
    s_.EnableRunButton(true);
    s_.EnableStopButton(false);
    s_.SetStatusText(L"");
    s_.EnableDeleteAction(true);
    s_.EnableTaskGrid(true);
}

void BackupEngine::HandleCurrentRow() {
    TaskRows& rows = s_.Tasks();
    std::wstring forras = rows.Source();
    std::wstring cel = rows.Target();
    Log(L"*** Feladat: " + forras + L" >> " + cel);
    if (running_) ArchiveTask(forras, cel);
}

std::wstring FormatTotal(int64_t total) {
    std::wstring digits = std::to_wstring(total);
    std::wstring groups[4];
    size_t n = digits.size();
    // The three right-hand groups take three digits each; the first takes the rest.
    for (int g = 3; g >= 0; --g) {
        size_t take = g == 0 ? n : std::min<size_t>(3, n);
        groups[g] = digits.substr(n - take, take);
        n -= take;
    }
    return groups[0] + L" " + groups[1] + L" " + groups[2] + L" " + groups[3];
}

}  // namespace pelvane
