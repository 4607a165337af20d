#include "ui/TrayIcon.h"

#include <cstring>

#include "ui/Application.h"

namespace pelvane {

// The shell reads the version-1 record: 88 bytes in the 32-bit program.
static_assert(sizeof(void*) != 4 || NOTIFYICONDATAA_V1_SIZE == 88, "NOTIFYICONDATAA v1 layout");

TrayIcon::TrayIcon(std::string hint, HICON icon, NotifyFunction notify)
    : hint_(std::move(hint)), icon_(icon), notify_(std::move(notify)) {
    if (!notify_)
        notify_ = [](DWORD message, NOTIFYICONDATAA* data) { return Shell_NotifyIconA(message, data); };
    // A shell that starts again (Explorer restarted) broadcasts this; the
    // icon is then gone from the new notification area and must be added again.
    taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
    RegisterClassOnce(kClassName, 0, nullptr, nullptr);
    // A hidden top-level window rather than a message-only one: it must be
    // able to take the foreground for its menu and to hear the broadcast.
    CreateWnd(0, kClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr);
}

TrayIcon::~TrayIcon() {
    Remove();
}

void TrayIcon::Remove() {
    if (active_ && Handle()) Notify(NIM_DELETE);
    active_ = false;
}

NOTIFYICONDATAA TrayIcon::Record() const {
    NOTIFYICONDATAA data;
    std::memset(&data, 0, sizeof data);
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = Handle();
    data.uID = 0;
    data.uFlags = kFlags;
    data.uCallbackMessage = kCallbackMessage;
    data.hIcon = icon_;
    // The version-1 tip holds 63 characters and the terminating zero.
    std::strncpy(data.szTip, hint_.c_str(), 63);
    return data;
}

void TrayIcon::Notify(DWORD message) {
    NOTIFYICONDATAA data = Record();
    notify_(message, &data);  // the shell's answer does not change anything here
}

void TrayIcon::SetTip(const std::string& tip) {
    hint_ = tip;
    if (active_ && Handle()) Notify(NIM_MODIFY);
}

void TrayIcon::ShowBalloon(const std::string& title, const std::string& text) {
    if (!active_ || !Handle()) return;
    NOTIFYICONDATAA data = Record();
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;  // the first size with room for a balloon
    data.uFlags = NIF_INFO;
    std::strncpy(data.szInfo, text.c_str(), sizeof data.szInfo - 1);
    std::strncpy(data.szInfoTitle, title.c_str(), sizeof data.szInfoTitle - 1);
    data.dwInfoFlags = NIIF_ERROR;
    data.uTimeout = 10000;  // the shell of old Windows versions reads it
    notify_(NIM_MODIFY, &data);
}

void TrayIcon::Activate() {
    if (active_) return;
    Application::ProcessMessages();
    // Handling the messages may have ended the program's windows already.
    if (!Handle()) return;
    active_ = true;
    Notify(NIM_ADD);
}

void TrayIcon::MouseMessage(UINT mouseMsg) {
    POINT cursor = {0, 0};
    GetCursorPos(&cursor);
    switch (mouseMsg) {
        case WM_RBUTTONDOWN: {
            // Without the foreground the menu would not close when the user
            // clicks elsewhere.
            SetForegroundWindow(Handle());
            Application::ProcessMessages();
            if (!popupMenu_ || !Handle()) return;
            {
                // The menu's loop lets the timers through: no scheduled run
                // may start under it (its "Bezár" would then wait for a run).
                Application::ModalScope modal;
                TrackPopupMenu(popupMenu_, TPM_LEFTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, Handle(),
                               nullptr);
            }
            // Lets the menu close properly when it is opened again at once.
            PostMessageA(Handle(), WM_NULL, 0, 0);
            break;
        }
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
            if (OnDblClick) OnDblClick();
            break;
        case NIN_BALLOONUSERCLICK:
            if (OnBalloonClick) OnBalloonClick();
            break;
    }
}

LRESULT TrayIcon::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kCallbackMessage) {
        MouseMessage(static_cast<UINT>(LOWORD(lp)));
        return 0;
    }
    if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
        if (active_) Notify(NIM_ADD);
        return 0;
    }
    if (msg == WM_COMMAND && HIWORD(wp) == 0 && lp == 0) {
        if (OnCommand) OnCommand(LOWORD(wp));
        return 0;
    }
    return Window::HandleMessage(msg, wp, lp);
}

}  // namespace pelvane
