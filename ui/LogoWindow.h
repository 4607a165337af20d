#pragma once
// The splash form frm_Logo: the picture shown for two seconds at start, the
// owner of the notification-area icon and its menu, and the program's main
// form: closing it ends the program.
#include <windows.h>

#include <functional>

#include "common/Handles.h"
#include "ui/TrayIcon.h"
#include "ui/Window.h"

namespace pelvane {

class LogoWindow : public Window {
  public:
    static constexpr const char* kClassName = "Tfrm_Logo";
    static constexpr int kClientWidth = 333, kClientHeight = 70;
    static constexpr UINT_PTR kTimer1Id = 1;
    static constexpr UINT kTimer1Interval = 2000;
    // Command ids of PopupMenu1's items.
    enum : UINT { kMegnyit1 = 1, kBezr1 = 2 };

    // What the splash needs of the main window, which is created after it.
    struct MainForm {
        std::function<bool()> autoStart;  // CheckBox1 is checked
        std::function<void()> show;       // show it and bring it to the front
        std::function<void()> showLog;    // the same, on the "Napló" page
    };

    // Created hidden, centred on the desktop; the tray icon is inactive.
    explicit LogoWindow(TrayIcon::NotifyFunction notify = nullptr);
    ~LogoWindow() override;

    void SetMainForm(MainForm mainForm) { mainForm_ = std::move(mainForm); }

    // Shows the splash; its FormShow starts Timer1.
    void Show();
    // Closing the main form ends the program: the message loop stops as soon
    // as control is back in it (a run that pumps messages finishes first).
    // The main window's close handling is not involved.
    void Close();
    bool Closed() const { return closed_; }

    TrayIcon& TrayIcon1() { return tray_; }
    HMENU PopupMenu1() const { return popupMenu_.get(); }

  private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void FormShow();
    void FormPaint();
    void Timer1Timer();
    void Megnyit1Click();
    void Bezr1Click();
    void TrayIcon1DblClick();
    void EndSession();

    MenuHandle popupMenu_;
    // The icons outlive the tray icon and the window that show them.
    IconHandle bigIcon_, smallIcon_;
    TrayIcon tray_;
    MainForm mainForm_;
    bool closed_ = false;
};

// The splash form while it exists (the program entry creates it first).
extern LogoWindow* frm_Logo;

}  // namespace pelvane
