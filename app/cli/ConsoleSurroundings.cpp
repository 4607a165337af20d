#include "app/cli/ConsoleSurroundings.h"

#include <windows.h>

#include <atomic>
#include <cstdio>

#include "common/Callback.h"
#include "common/Text.h"
#include "engine/BackupEngine.h"

namespace pelvane {
namespace {

std::atomic<bool> ctrlC{false};
HANDLE runEnded = nullptr;  // set once the run has written its end line

// Less than the five seconds the system gives a handler before it ends the process.
constexpr DWORD kCloseWait = 4000;

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
    HANDLE out = GetStdHandle(toStderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode, written;
    if (GetConsoleMode(out, &mode)) {
        std::wstring text = line + L"\r\n";
        WriteConsoleW(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    std::string utf8 = WideToUtf8(line) + "\n";
    WriteFile(out, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

void WriteLine(const std::string& ansi, bool toStderr) {
    WriteLine(AnsiToWide(ansi), toStderr);
}

void ConsoleSurroundings::AppendLog(const std::wstring& line) {
    if (line.compare(0, 6, L"Hiba: ") == 0) sawError_ = true;
    if (drawnPercent_ >= 0) fputs("\r\x1b[K", stderr);  // keep the bar off the log lines
    WriteLine(line);
    // A log file that cannot be written never fails the run: said once.
    if (runLog_ && !runLog_->Append(line) && runLog_->FailureIsNew()) WriteLine(runLog_->FailureNote(), true);
    drawnPercent_ = -1;
    DrawProgress();
}

void ConsoleSurroundings::SetProgressMax(int max) {
    max_ = max < 0 ? 0 : max;
    DrawProgress();
}

void ConsoleSurroundings::SetProgressPosition(int position) {
    position_ = position < 0 ? 0 : position > max_ ? max_ : position;
    DrawProgress();
}

void ConsoleSurroundings::DrawProgress() {
    if (!options_.progress || max_ <= 0) return;
    int percent = static_cast<int>(100LL * position_ / max_);
    if (percent == drawnPercent_) return;
    drawnPercent_ = percent;
    char bar[41];
    int filled = percent * 40 / 100;
    for (int i = 0; i < 40; ++i) bar[i] = i < filled ? '#' : '.';
    bar[40] = 0;
    fprintf(stderr, "\r[%s] %3d%%", bar, percent);
    fflush(stderr);
}

void ConsoleSurroundings::ShowError(const std::string& text) {
    sawError_ = true;
    WriteLine(text, true);
}

void ConsoleSurroundings::ProcessMessages() {
    if (ctrlC && engine_ && engine_->Running()) engine_->RequestStop();
}

}  // namespace pelvane
