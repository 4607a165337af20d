// The splash form, its notification-area icon and the program's pictures,
// driven with real messages; the shell is replaced by a recorder.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "common/Exception.h"
#include "resources/Picture.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/Application.h"
#include "ui/LogoWindow.h"
#include "ui/TrayIcon.h"

using namespace pelvane;

namespace {

struct ShellCall {
    DWORD message;
    NOTIFYICONDATAA data;
};

struct ShellRecorder {
    std::vector<ShellCall> calls;
    TrayIcon::NotifyFunction Function() {
        return [this](DWORD message, NOTIFYICONDATAA* data) {
            calls.push_back({message, *data});
            return TRUE;
        };
    }
    int Count(DWORD message) const {
        int n = 0;
        for (const auto& c : calls) n += c.message == message;
        return n;
    }
};

// Removes a quit request that a test left behind for the next one.
bool TakeQuit() {
    MSG msg;
    return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

void SendMouse(TrayIcon& tray, UINT mouseMsg) {
    SendMessageA(tray.Handle(), TrayIcon::kCallbackMessage, 0, static_cast<LPARAM>(mouseMsg));
}

std::string MenuText(HMENU menu, UINT pos) {
    char text[64] = {};
    GetMenuStringA(menu, pos, text, sizeof text, MF_BYPOSITION);
    return text;
}

// Runs inside the menu's own loop: notes the open menu and closes it.
bool menuSeen = false;
VOID CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD) noexcept {
    KillTimer(nullptr, id);  // nothing below can throw
    // Only a menu of this process counts: other tests may run beside this one.
    for (HWND popup = nullptr; (popup = FindWindowExA(nullptr, popup, "#32768", nullptr)) != nullptr;) {
        DWORD pid = 0;
        GetWindowThreadProcessId(popup, &pid);
        if (pid == GetCurrentProcessId() && IsWindowVisible(popup)) menuSeen = true;
    }
    EndMenu();
}

// Runs inside the menu's own loop, once the menu is open: notes whether a
// scheduled run would be held back now, and closes the menu.
bool heldInMenu = false;
VOID CALLBACK NoteHeldAndCloseMenu(HWND, UINT, UINT_PTR id, DWORD) noexcept {
    for (HWND popup = nullptr; (popup = FindWindowExA(nullptr, popup, "#32768", nullptr)) != nullptr;) {
        DWORD pid = 0;
        GetWindowThreadProcessId(popup, &pid);
        if (pid == GetCurrentProcessId() && IsWindowVisible(popup)) {
            KillTimer(nullptr, id);
            heldInMenu = Application::InModal();
            EndMenu();
            return;
        }
    }
}

}  // namespace

TEST(StartupResources, IconHoldsTwelveImagesOfFourSizesAndThreeDepths) {
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC res = FindResourceA(self, MAKEINTRESOURCEA(IDI_PELVANE), MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
    ASSERT_NE(res, nullptr);
#pragma pack(push, 2)
    struct GroupEntry {
        BYTE width, height, colors, reserved;
        WORD planes, bits;
        DWORD bytes;
        WORD id;
    };
#pragma pack(pop)
    auto* head = static_cast<const WORD*>(LockResource(LoadResource(self, res)));
    ASSERT_EQ(head[1], 1);  // icons
    ASSERT_EQ(head[2], 12);
    auto* entries = reinterpret_cast<const GroupEntry*>(head + 3);
    std::set<std::pair<int, int>> images;
    for (int i = 0; i < 12; ++i) images.insert({entries[i].width, entries[i].bits});
    std::set<std::pair<int, int>> expected;
    for (int size : {16, 24, 32, 48})
        for (int bits : {4, 8, 32}) expected.insert({size, bits});
    EXPECT_EQ(images, expected);
    EXPECT_TRUE(LoadProgramIcon(16));
    EXPECT_TRUE(LoadProgramIcon(48));
}

TEST(StartupResources, PicturesHaveTheirSizesAndShowTheFaceColourAroundThePanel) {
    EXPECT_EQ(PictureSize(IDB_SPLASH).cx, 333);
    EXPECT_EQ(PictureSize(IDB_SPLASH).cy, 70);
    EXPECT_EQ(PictureSize(IDB_LOGO).cx, 157);
    EXPECT_EQ(PictureSize(IDB_LOGO).cy, 33);
    EXPECT_EQ(PictureSize(4711).cx, 0);
    EXPECT_THROW(LoadPicture(4711, 0), Exception);

    const COLORREF face = RGB(212, 208, 200);
    GdiObject bitmap = LoadPicture(IDB_SPLASH, face);
    MemoryDC mem(CreateCompatibleDC(nullptr));
    SelectedObject selected(mem.get(), bitmap.get());
    COLORREF corner = GetPixel(mem.get(), 0, 0);
    COLORREF panel = GetPixel(mem.get(), 6, 35);
    EXPECT_EQ(corner, face);                             // outside the rounded corner
    EXPECT_GT(GetBValue(panel), GetRValue(panel) + 60);  // blue panel
}

TEST(StartupTray, RecordAndSingleActivation) {
    ShellRecorder shell;
    IconHandle iconOwner = LoadProgramIcon(16);
    HICON icon = iconOwner.get();
    {
        TrayIcon tray("Pelvane", icon, shell.Function());
        EXPECT_FALSE(tray.Active());
        EXPECT_TRUE(shell.calls.empty());  // inactive at creation
        EXPECT_FALSE(IsWindowVisible(tray.Handle()));

        tray.Activate();
        tray.Activate();
        ASSERT_EQ(shell.calls.size(), 1u);
        const NOTIFYICONDATAA& d = shell.calls[0].data;
        EXPECT_EQ(shell.calls[0].message, static_cast<DWORD>(NIM_ADD));
        EXPECT_EQ(d.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE));
        if (sizeof(void*) == 4) {
            EXPECT_EQ(d.cbSize, 88u);
        }
        EXPECT_EQ(d.hWnd, tray.Handle());
        EXPECT_EQ(d.uID, 0u);
        EXPECT_EQ(d.uFlags, 7u);
        EXPECT_EQ(d.uCallbackMessage, 0x0465u);
        EXPECT_EQ(d.hIcon, icon);
        EXPECT_STREQ(d.szTip, "Pelvane");

        // A restarted shell has lost the icon: it is added again.
        SendMessageA(tray.Handle(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
        EXPECT_EQ(shell.Count(NIM_ADD), 2);
        EXPECT_EQ(shell.Count(NIM_DELETE), 0);
    }
    ASSERT_EQ(shell.Count(NIM_DELETE), 1);
    EXPECT_EQ(shell.calls.back().message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(shell.calls.back().data.uID, 0u);
    EXPECT_NE(shell.calls.back().data.hWnd, nullptr);

    // An icon that was never added is neither added on a shell restart nor removed.
    ShellRecorder idle;
    {
        TrayIcon tray("Pelvane", icon, idle.Function());
        SendMessageA(tray.Handle(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    }
    EXPECT_TRUE(idle.calls.empty());
}

TEST(StartupTray, TipAndBalloonOfAnActiveIcon) {
    ShellRecorder shell;
    IconHandle icon = LoadProgramIcon(16);
    TrayIcon tray("Pelvane", icon.get(), shell.Function());
    int clicks = 0;
    tray.OnBalloonClick = [&] { ++clicks; };
    // Nothing reaches the shell before the icon is there.
    tray.SetTip("Pelvane - utolsó mentés: 2026.12.08 15:20, 2 hiba");
    tray.ShowBalloon("Pelvane", "2 hiba");
    EXPECT_TRUE(shell.calls.empty());

    tray.Activate();
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_STREQ(shell.calls[0].data.szTip, "Pelvane - utolsó mentés: 2026.12.08 15:20, 2 hiba");
    tray.SetTip("Pelvane - utolsó mentés: 2026.12.08 15:21, hiba nélkül");
    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls[1].message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(shell.calls[1].data.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE));
    EXPECT_EQ(shell.calls[1].data.uFlags, 7u);
    EXPECT_STREQ(shell.calls[1].data.szTip, "Pelvane - utolsó mentés: 2026.12.08 15:21, hiba nélkül");

    tray.ShowBalloon("Pelvane", "A mentés 3 hibával ért véget.");
    ASSERT_EQ(shell.calls.size(), 3u);
    const NOTIFYICONDATAA& b = shell.calls[2].data;
    EXPECT_EQ(shell.calls[2].message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(b.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V2_SIZE));
    EXPECT_EQ(b.uFlags, static_cast<UINT>(NIF_INFO));
    EXPECT_EQ(b.hWnd, tray.Handle());
    EXPECT_EQ(b.uID, 0u);
    EXPECT_EQ(b.dwInfoFlags, static_cast<DWORD>(NIIF_ERROR));
    EXPECT_STREQ(b.szInfoTitle, "Pelvane");
    EXPECT_STREQ(b.szInfo, "A mentés 3 hibával ért véget.");

    SendMouse(tray, NIN_BALLOONUSERCLICK);
    EXPECT_EQ(clicks, 1);
}

TEST(StartupTray, MouseTable) {
    ShellRecorder shell;
    IconHandle icon = LoadProgramIcon(16);
    TrayIcon tray("Pelvane", icon.get(), shell.Function());
    int dblClicks = 0;
    tray.OnDblClick = [&] { ++dblClicks; };
    for (UINT m : {WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK}) SendMouse(tray, m);
    EXPECT_EQ(dblClicks, 3);
    for (UINT m : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONDOWN})
        SendMouse(tray, m);
    EXPECT_EQ(dblClicks, 3);

    // The menu opens while the right button is down, not when it comes up.
    MenuHandle menu(CreatePopupMenu());
    AppendMenuA(menu.get(), MF_STRING, 7, "Egy");
    tray.SetPopupMenu(menu.get());
    menuSeen = false;
    UINT_PTR timer = SetTimer(nullptr, 0, 300, CloseMenu);
    SendMouse(tray, WM_RBUTTONUP);
    KillTimer(nullptr, timer);
    EXPECT_FALSE(menuSeen);
    timer = SetTimer(nullptr, 0, 300, CloseMenu);
    SendMouse(tray, WM_RBUTTONDOWN);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(menuSeen);
}

// A timer's tick inside the icon's menu would start a backup there, and the
// menu's "Bezár" would wait for it.
TEST(StartupTray, TheMenuHoldsScheduledRunsBackWhileItIsOpen) {
    ShellRecorder shell;
    IconHandle icon = LoadProgramIcon(16);
    TrayIcon tray("Pelvane", icon.get(), shell.Function());
    MenuHandle menu(CreatePopupMenu());
    AppendMenuA(menu.get(), MF_STRING, 7, "Egy");
    tray.SetPopupMenu(menu.get());
    heldInMenu = false;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, NoteHeldAndCloseMenu);
    SendMouse(tray, WM_RBUTTONDOWN);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(heldInMenu);
    EXPECT_FALSE(Application::InModal());
}

TEST(StartupSplash, FormAndMenu) {
    ShellRecorder shell;
    LogoWindow logo(shell.Function());
    EXPECT_EQ(frm_Logo, &logo);
    HWND wnd = logo.Handle();
    EXPECT_FALSE(IsWindowVisible(wnd));
    LONG_PTR style = GetWindowLongPtrA(wnd, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER), 0);
    RECT client, window;
    GetClientRect(wnd, &client);
    GetWindowRect(wnd, &window);
    EXPECT_EQ(client.right, Scale(333));
    EXPECT_EQ(client.bottom, Scale(70));
    EXPECT_EQ(window.left, (GetSystemMetrics(SM_CXSCREEN) - Scale(333)) / 2);
    EXPECT_EQ(window.top, (GetSystemMetrics(SM_CYSCREEN) - Scale(70)) / 2);
    char caption[32] = {};
    GetWindowTextA(wnd, caption, sizeof caption);
    EXPECT_STREQ(caption, "Pelvane");

    HMENU menu = logo.PopupMenu1();
    ASSERT_EQ(GetMenuItemCount(menu), 2);
    EXPECT_EQ(MenuText(menu, 0), "Megnyit");
    EXPECT_EQ(MenuText(menu, 1), "Bez\xE1r");
    EXPECT_EQ(GetMenuDefaultItem(menu, FALSE, 0), static_cast<UINT>(LogoWindow::kMegnyit1));
    EXPECT_FALSE(logo.TrayIcon1().Active());
    EXPECT_TRUE(shell.calls.empty());
}

TEST(StartupSplash, TimerShowsTheMainWindowOrOnlyTheIcon) {
    for (bool autoStart : {false, true}) {
        SCOPED_TRACE(autoStart ? "autostart on" : "autostart off");
        ShellRecorder shell;
        LogoWindow logo(shell.Function());
        int shown = 0;
        logo.SetMainForm({[&] { return autoStart; }, [&] { ++shown; }, nullptr});
        logo.Show();
        EXPECT_TRUE(IsWindowVisible(logo.Handle()));
        // Through the program's loop, which leaves a quit request for TakeQuit.
        ASSERT_TRUE(test::PumpUntil([&] { return !IsWindowVisible(logo.Handle()); }, 15000,
                                    Application::ProcessMessages));
        // It runs once: the timer is off afterwards.
        EXPECT_FALSE(KillTimer(logo.Handle(), LogoWindow::kTimer1Id));
        EXPECT_EQ(shown, autoStart ? 0 : 1);
        EXPECT_EQ(logo.TrayIcon1().Active(), autoStart);
        EXPECT_EQ(shell.Count(NIM_ADD), autoStart ? 1 : 0);
        EXPECT_FALSE(logo.Closed());
    }
    EXPECT_FALSE(TakeQuit());
}

TEST(StartupSplash, MenuCommandsAndDoubleClick) {
    ShellRecorder shell;
    {
        LogoWindow logo(shell.Function());
        int shown = 0, shownLog = 0;
        logo.SetMainForm({[] { return true; }, [&] { ++shown; }, [&] { ++shownLog; }});
        logo.TrayIcon1().Activate();
        HWND tray = logo.TrayIcon1().Handle();
        SendMessageA(tray, WM_COMMAND, LogoWindow::kMegnyit1, 0);
        SendMessageA(tray, TrayIcon::kCallbackMessage, 0, WM_MBUTTONDBLCLK);
        EXPECT_EQ(shown, 2);
        // A click on the balloon of a failed run opens the window on its log.
        SendMessageA(tray, TrayIcon::kCallbackMessage, 0, NIN_BALLOONUSERCLICK);
        EXPECT_EQ(shownLog, 1);
        // "Megnyit" leaves the icon in place.
        EXPECT_TRUE(logo.TrayIcon1().Active());
        EXPECT_EQ(shell.Count(NIM_DELETE), 0);

        SendMessageA(tray, WM_COMMAND, LogoWindow::kBezr1, 0);
        EXPECT_TRUE(logo.Closed());
        EXPECT_EQ(shown, 2);
        EXPECT_TRUE(TakeQuit());
        // The icon stays until the splash is destroyed at the end.
        EXPECT_EQ(shell.Count(NIM_DELETE), 0);
    }
    EXPECT_EQ(shell.Count(NIM_DELETE), 1);
    EXPECT_EQ(frm_Logo, nullptr);
}

TEST(StartupSplash, EndingDuringARunLetsItPumpAndStopsTheLoopAfterwards) {
    ShellRecorder shell;
    LogoWindow logo(shell.Function());
    logo.Close();
    EXPECT_TRUE(logo.Closed());
    EXPECT_FALSE(IsWindowVisible(logo.Handle()));

    // A run pumping messages after the end was asked for still gets its
    // messages handled, more than once.
    int handled = 0;
    HWND tray = logo.TrayIcon1().Handle();
    logo.TrayIcon1().OnDblClick = [&] { ++handled; };
    for (int i = 0; i < 3; ++i) {
        PostMessageA(tray, TrayIcon::kCallbackMessage, 0, WM_LBUTTONDBLCLK);
        Application::ProcessMessages();
    }
    EXPECT_EQ(handled, 3);
    // Back in the top-level loop, the program ends at once.
    EXPECT_EQ(Application::Run(), 0);
    EXPECT_FALSE(TakeQuit());
}
