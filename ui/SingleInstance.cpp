#include "ui/SingleInstance.h"

#include <cstdint>
#include <cstdio>

namespace pelvane {

std::string InstanceKey(const std::wstring& programDir) {
    // A folder name may be longer than a kernel object's name and holds
    // backslashes, which such a name may not: its hash stands for it.
    uint64_t hash = 14695981039346656037ULL;  // FNV-1a, over the UTF-16 units
    for (wchar_t c : programDir) {
        for (unsigned byte : {static_cast<unsigned>(c) & 0xFF, static_cast<unsigned>(c) >> 8}) {
            hash ^= byte;
            hash *= 1099511628211ULL;
        }
    }
    char key[40];
    snprintf(key, sizeof key, "Pelvane-%016llx", static_cast<unsigned long long>(hash));
    return key;
}

SingleInstance::SingleInstance(const std::wstring& programDir) : key_(InstanceKey(programDir)) {
    // Per logon session: another user's Pelvane cannot show its window here.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, ("Local\\" + key_).c_str());
    first_ = !mutex || GetLastError() != ERROR_ALREADY_EXISTS;
    mutex_.reset(mutex);
}

void SingleInstance::Listen(std::function<void()> show) {
    show_ = std::move(show);
    RegisterClassOnce(kClassName, 0, nullptr, nullptr);
    CreateWnd(0, kClassName, key_.c_str(), WS_POPUP, 0, 0, 0, 0, nullptr, nullptr);
}

bool SingleInstance::ShowFirst(DWORD limitMs) const {
    // The first one listens once its main window exists; it may still be starting.
    for (DWORD start = GetTickCount();; Sleep(100)) {
        if (HWND first = FindWindowExA(nullptr, nullptr, kClassName, key_.c_str())) {
            DWORD pid = 0;
            GetWindowThreadProcessId(first, &pid);
            AllowSetForegroundWindow(pid);  // this start has the foreground; its window is to get it
            return PostMessageA(first, kShowMessage, 0, 0) != FALSE;
        }
        if (GetTickCount() - start > limitMs) return false;
    }
}

LRESULT SingleInstance::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kShowMessage) {
        if (show_) show_();
        return 0;
    }
    return Window::HandleMessage(msg, wp, lp);
}

}  // namespace pelvane
