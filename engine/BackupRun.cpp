#include <windows.h>

#include <cstdio>
#include <new>

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
    sweptFolder_.clear();
    copyFolders_.clear();
    lastPump_ = clock_();
    s_.EnableStopButton(true);
    try {
        if (s_.OnlyCurrentTask()) {
            // The tasks before it claim their folders first, as in a run over all.
            const int current = rows.Position();
            if (current > 0) {
                int n = 0;
                for (rows.First(); !rows.Eof() && n < current; rows.Next(), ++n)
                    ClaimCopyFolder(rows.Source(), rows.Target());
                rows.MoveTo(current);
            }
            HandleCurrentRow();
        } else {
            for (rows.First(); !rows.Eof(); rows.Next()) HandleCurrentRow();
        }
    } catch (const std::exception& e) {
        // A failure of the walk itself (the table) ends the run, never leaves
        // the window in its running state.
        ++errorLines_;
        Log(L"Hiba: " + AnsiToWide(e.what()));
        ResetProgress();
    }
    // A stopped run must not read as one that did all its work.
    const bool stopped = !running_;
    if (stopped) Log(L"*** Mentés megszakítva: " + Timestamp());
    Log(L"*** Mentés kész: " + Timestamp());
    s_.RunFinished(errorLines_, stopped);
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
    if (!running_) return;
    // The later of two tasks whose copies go to one folder would replace the
    // earlier one's copies (or, by the newer method, skip what it made newer).
    if (const FolderOwner* owner = ClaimCopyFolder(forras, cel))
        return LogError(forras, L"Ugyanabba a mappába (" + owner->folder +
                                    L") mentene, mint egy korábbi feladat (" + owner->task +
                                    L"); nem fut le");
    // A failure that escapes the task (memory running out on a huge tree)
    // ends that task only.
    try {
        ArchiveTask(forras, cel);
    } catch (const std::bad_alloc&) {
        EndTaskOnFailure(forras, L"Nincs elég memória");
    } catch (const std::exception& e) {
        EndTaskOnFailure(forras, AnsiToWide(e.what()));
    }
}

const BackupEngine::FolderOwner* BackupEngine::ClaimCopyFolder(const std::wstring& forras,
                                                               const std::wstring& cel) {
    if (forras.empty() || cel.empty()) return nullptr;  // reported by the task itself
    std::wstring folder = CopyFolder(fs_, forras, cel);
    auto [it, claimed] = copyFolders_.try_emplace(folder);
    if (!claimed) return &it->second;
    it->second = {forras + L" >> " + cel, fs_.FullPath(folder)};
    return nullptr;
}

void BackupEngine::EndTaskOnFailure(const std::wstring& forras, const std::wstring& message) {
    LogError(forras, message);
    copies_ = {};  // memory back, and nothing of the task left for the next
    lastFolder_.clear();
    ResetProgress();
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
