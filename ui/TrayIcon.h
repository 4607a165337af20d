#pragma once
// The notification-area icon (TrayIcon1 of the splash form): one Shell_NotifyIconA
// record, a hidden window of its own that receives the icon's mouse messages
// and the commands of its popup menu.
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

#include "ui/Window.h"

namespace pelvane {

class TrayIcon : public Window {
  public:
    static constexpr const char* kClassName = "PelvaneTrayIcon";
    // The shell sends this to the icon's window, the mouse message in lParam.
    static constexpr UINT kCallbackMessage = WM_USER + 101;  // 0x0465
    static constexpr UINT kFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    // Shell_NotifyIconA, or a stand-in that records the calls.
    using NotifyFunction = std::function<BOOL(DWORD message, NOTIFYICONDATAA* data)>;

    // The window is created here; the icon is not shown until Activate.
    TrayIcon(std::string hint, HICON icon, NotifyFunction notify = nullptr);
    // Removes the icon from the notification area when it was added.
    ~TrayIcon() override;

    // Adds the icon, once: activating an active icon does nothing. The
    // pending messages are handled first, so a window hidden just before is
    // off the screen and the taskbar when the icon appears.
    void Activate();
    bool Active() const { return active_; }
    // Takes the icon out of the notification area, at the program's end.
    void Remove();

    // Not owned: the menu opened at the cursor by the right button. Its
    // commands reach OnCommand.
    void SetPopupMenu(HMENU menu) { popupMenu_ = menu; }

    // The tip shown over the icon (at most 63 characters: the version-1
    // record's room); an active icon shows the new one at once.
    void SetTip(const std::string& tip);
    // A balloon with the error icon over an active icon. It goes to the shell
    // in a larger record of its own; the icon's own record stays version 1.
    void ShowBalloon(const std::string& title, const std::string& text);

    std::function<void()> OnDblClick;        // left, right or middle double-click
    std::function<void(UINT id)> OnCommand;  // a popup menu item was chosen
    std::function<void()> OnBalloonClick;    // the user clicked the balloon

    // The record given to the shell (size NOTIFYICONDATAA_V1_SIZE: 88 bytes
    // in the 32-bit program).
    NOTIFYICONDATAA Record() const;

  private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void MouseMessage(UINT mouseMsg);
    void Notify(DWORD message);

    std::string hint_;
    HICON icon_;
    NotifyFunction notify_;
    HMENU popupMenu_ = nullptr;
    bool active_ = false;
    UINT taskbarCreated_ = 0;
};

}  // namespace pelvane
