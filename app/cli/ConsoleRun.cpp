#include "app/cli/ConsoleRun.h"

#include <windows.h>

#include <atomic>
#include <cstdio>

#include "common/Callback.h"
#include "common/Text.h"
#include "engine/BackupRun.h"
#include "engine/RestoreRun.h"

namespace pelvane {
namespace {

std::atomic<bool> ctrlC{false};
HANDLE runEnded = nullptr;  // set once the run has written its end line

// Less than the five seconds the system gives a handler before it ends the process.
constexpr DWORD kCloseWait = 4000;

// The bar: 40 places, the percentage, and the file's name within 79 columns.
constexpr int kBarWidth = 40;
constexpr size_t kNameRoom = 79 - kBarWidth - 8;
// A new file's name is drawn at most this often (ms) while the percentage stands.
constexpr uint64_t kNameInterval = 200;

// The file's own name, its end kept when it is too long for the line.
std::wstring ShownName(const std::wstring& path) {
    std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
    if (name.size() <= kNameRoom) return name;
    size_t cut = name.size() - (kNameRoom - 3);
    if (cut < name.size() && name[cut] >= 0xDC00 && name[cut] <= 0xDFFF) ++cut;  // not half a character
    return L"..." + name.substr(cut);
}

// UTF-16 to a console window, UTF-8 to a pipe or file; a line ends as each expects.
void Write(const std::wstring& text, bool toStderr, bool lineEnd) {
    HANDLE out = GetStdHandle(toStderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode, written;
    if (GetConsoleMode(out, &mode)) {
        const std::wstring wide = lineEnd ? text + L"\r\n" : text;
        WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    const std::string utf8 = WideToUtf8(text) + (lineEnd ? "\n" : "");
    WriteFile(out, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

BOOL WINAPI OnConsoleCtrl(DWORD type) noexcept {
    return GuardCallback("console control handler", FALSE, [type] {
        ctrlC = true;  // the run stops at its next check and still writes its closing lines
        if (type == CTRL_CLOSE_EVENT || type == CTRL_LOGOFF_EVENT || type == CTRL_SHUTDOWN_EVENT)
            WaitForSingleObject(runEnded, kCloseWait);
        return TRUE;
    });
}

}  // namespace

void InstallCtrlCHandler() {
    if (!runEnded) runEnded = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleCtrl, TRUE);
}
bool StopRequestedByUser() {
    return ctrlC;
}
void RunEnded() {
    if (runEnded) SetEvent(runEnded);
}

void WriteLine(const std::wstring& line, bool toStderr) {
    Write(line, toStderr, true);
}

void WriteLine(const std::string& ansi, bool toStderr) {
    WriteLine(AnsiToWide(ansi), toStderr);
}

void ConsoleRun::AppendLog(const std::wstring& line) {
    EraseProgress();  // keep the bar off the log lines
    WriteLine(line);
    // A log file that cannot be written never fails the run: said once.
    if (runLog_ && !runLog_->Append(line) && runLog_->FailureIsNew()) WriteLine(runLog_->FailureNote(), true);
    DrawProgress(true);
}

void ConsoleRun::SetStatusText(const std::wstring& text) {
    status_ = text;
    DrawProgress();
}

void ConsoleRun::SetProgressMax(int max) {
    max_ = max < 0 ? 0 : max;
    DrawProgress();
}

void ConsoleRun::SetProgressPosition(int position) {
    position_ = position < 0 ? 0 : position > max_ ? max_ : position;
    DrawProgress();
}

void ConsoleRun::DrawProgress(bool force) {
    if (!options_.progress || max_ <= 0) return;
    const int percent = static_cast<int>(100LL * position_ / max_);
    const uint64_t now = GetTickCount64();
    // A new percentage at once; a new file's name not for every small file.
    if (!force && percent == drawnPercent_ && (status_ == drawnStatus_ || now - drawnAt_ < kNameInterval))
        return;
    drawnPercent_ = percent;
    drawnStatus_ = status_;
    drawnAt_ = now;
    wchar_t bar[kBarWidth + 16];
    const int filled = percent * kBarWidth / 100;
    for (int i = 0; i < kBarWidth; ++i) bar[i] = i < filled ? L'#' : L'.';
    swprintf(bar + kBarWidth, 16, L"] %3d%% ", percent);
    Write(L"\r[" + std::wstring(bar) + ShownName(status_) + L"\x1b[K", true, false);
}

void ConsoleRun::EraseProgress() {
    if (drawnPercent_ >= 0) Write(L"\r\x1b[K", true, false);
    drawnPercent_ = -1;
}

void ConsoleRun::Refused(const std::wstring& reason) {
    sawError_ = true;
    // Without a reason the failure follows, and its message with it.
    if (!reason.empty()) WriteLine(reason, true);
}

void ConsoleRun::Ended(int errorLines, bool stopped) {
    EraseProgress();
    sawError_ = errorLines > 0;
    stopped_ = stopped;
}

bool ConsoleRun::AcceptMassChange(const MassChange&) {
    if (options_.acceptChanges) return true;
    held_ = true;
    return false;
}

std::wstring ConsoleRun::HowToAcceptMassChange() {
    return L"Ha a változás szándékos, futtassa újra így: pelvane-cli run --accept-changes";
}

void ConsoleRun::StopPoint() {
    if (!StopRequestedByUser()) return;
    if (run_) run_->RequestStop();
    if (restore_) restore_->RequestStop();
}

}  // namespace pelvane
