#include "ui/LogoWindow.h"

#include "resources/Picture.h"
#include "ui/Application.h"

namespace pelvane {

LogoWindow* frm_Logo = nullptr;

namespace {

MenuHandle MakePopupMenu1() {
    MenuHandle menu(CreatePopupMenu());
    if (!menu) return menu;
    AppendMenuA(menu.get(), MF_STRING, LogoWindow::kMegnyit1, "Megnyit");
    AppendMenuA(menu.get(), MF_STRING, LogoWindow::kBezr1, "Bezár");
    // The default item is drawn bold.
    SetMenuDefaultItem(menu.get(), LogoWindow::kMegnyit1, FALSE);
    return menu;
}

}  // namespace

LogoWindow::LogoWindow(TrayIcon::NotifyFunction notify)
    : popupMenu_(MakePopupMenu1()),
      bigIcon_(LoadProgramIcon(GetSystemMetrics(SM_CXICON))),
      smallIcon_(LoadProgramIcon(GetSystemMetrics(SM_CXSMICON))),
      tray_(Application::Title(), smallIcon_.get(), std::move(notify)) {
    RegisterClassOnce(kClassName, 0, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    // No border and no title bar: the window is as large as its client area.
    const int w = Scale(kClientWidth), h = Scale(kClientHeight);
    const int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
    // Its caption is the text of the taskbar entry while it is shown.
    CreateWnd(0, kClassName, Application::Title().c_str(), WS_POPUP, x, y, w, h, nullptr, nullptr);
    SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));

    tray_.SetPopupMenu(popupMenu_.get());
    tray_.OnDblClick = [this] { TrayIcon1DblClick(); };
    // The balloon tells of a failed run: its click shows that run's lines.
    tray_.OnBalloonClick = [this] {
        if (mainForm_.showLog) mainForm_.showLog();
    };
    tray_.OnCommand = [this](UINT id) {
        if (id == kMegnyit1) Megnyit1Click();
        if (id == kBezr1) Bezr1Click();
    };
    if (!frm_Logo) frm_Logo = this;
}

LogoWindow::~LogoWindow() {
    if (frm_Logo == this) frm_Logo = nullptr;
    if (Handle()) {
        KillTimer(Handle(), kTimer1Id);
        // The window goes before the icons it shows.
        DestroyWindow(Handle());
    }
    // tray_ goes next and takes the icon out of the notification area.
}

void LogoWindow::Show() {
    ShowWindow(Handle(), SW_SHOWNORMAL);
    UpdateWindow(Handle());
}

void LogoWindow::Close() {
    if (closed_) return;
    closed_ = true;
    KillTimer(Handle(), kTimer1Id);
    ShowWindow(Handle(), SW_HIDE);
    PostQuitMessage(0);
}

void LogoWindow::FormShow() {
    SetTimer(Handle(), kTimer1Id, kTimer1Interval, nullptr);
}

void LogoWindow::FormPaint() {
    PaintDC dc(Handle());
    RECT client;
    GetClientRect(Handle(), &client);
    DrawPicture(dc.get(), IDB_SPLASH, client, GetSysColor(COLOR_BTNFACE));
}

void LogoWindow::Timer1Timer() {
    KillTimer(Handle(), kTimer1Id);
    ShowWindow(Handle(), SW_HIDE);
    if (mainForm_.autoStart && mainForm_.autoStart())
        tray_.Activate();
    else if (mainForm_.show)
        mainForm_.show();
}

void LogoWindow::Megnyit1Click() {
    if (mainForm_.show) mainForm_.show();
}

void LogoWindow::TrayIcon1DblClick() {
    if (mainForm_.show) mainForm_.show();
}

void LogoWindow::Bezr1Click() {
    Close();
}

void LogoWindow::EndSession() {
    // Windows is ending the logon: stop here, without the main window's close
    // handling (nothing is saved). Every task change is already committed in
    // the database, so leaving it open loses nothing.
    tray_.Remove();
    ExitProcess(0);
}

LRESULT LogoWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SHOWWINDOW:
            if (wp) FormShow();
            break;
        case WM_PAINT:
            FormPaint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the picture covers the whole client area
        case WM_TIMER:
            if (wp == kTimer1Id) Timer1Timer();
            return 0;
        case WM_CLOSE:
            Close();
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            if (wp) EndSession();
            return 0;
    }
    return Window::HandleMessage(msg, wp, lp);
}

}  // namespace pelvane
