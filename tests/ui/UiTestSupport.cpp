#include "tests/ui/UiTestSupport.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <utility>

#include "common/Callback.h"
#include "common/Handles.h"
#include "tests/support/ScratchFolder.h"
#include "ui/Clipboard.h"

namespace pelvane::test {
namespace {

struct PendingAction {
    std::function<bool()> action;
    bool running = false;
};

// The actions not yet done, by their timer.
std::map<UINT_PTR, PendingAction>& PendingActions() {
    static std::map<UINT_PTR, PendingAction> actions;
    return actions;
}

// Callbacks of the test helpers follow the program's rule: nothing crosses
// the system's frame (the 32-bit test program would end there).
void Complain(const char* message) {
    std::fprintf(stderr, "exception in a test callback: %s\n", message ? message : "(unknown)");
    std::fflush(stderr);
}

void IdleTimerTick(UINT_PTR id);

void CALLBACK IdleTimer(HWND, UINT, UINT_PTR id, DWORD) noexcept {
    GuardCallback(
        "test timer", 0,
        [id] {
            IdleTimerTick(id);
            return 0;
        },
        Complain);
}

void Forget(UINT_PTR id) {
    KillTimer(nullptr, id);
    PendingActions().erase(id);
}

void IdleTimerTick(UINT_PTR id) {
    auto it = PendingActions().find(id);
    if (it == PendingActions().end()) return Forget(id);
    // A loop of the action's own dispatches the timer again: not now.
    if (it->second.running) return;
    // The action may start or cancel others: it runs outside the list.
    auto run = std::move(it->second.action);
    it->second.running = true;
    bool done = false;
    try {
        done = run();
    } catch (...) {
        Forget(id);  // a failed action does not run again
        throw;
    }
    it = PendingActions().find(id);
    if (it == PendingActions().end()) return;  // cancelled meanwhile
    if (done) return Forget(id);
    it->second.action = std::move(run);
    it->second.running = false;
}

struct ClassSearch {
    const char* cls;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectOfClass(HWND wnd, LPARAM lp) noexcept {
    return GuardCallback(
        "test window list", TRUE,
        [&] {
            auto* search = reinterpret_cast<ClassSearch*>(lp);
            char cls[32] = {};
            GetClassNameA(wnd, cls, sizeof cls);
            if (std::strcmp(cls, search->cls) == 0 && IsWindowVisible(wnd)) search->found.push_back(wnd);
            return TRUE;
        },
        Complain);
}

// The visible top-level windows of this thread of one class: other test
// programs on the same display never count.
std::vector<HWND> ThreadWindows(const char* cls) {
    ClassSearch search{cls, {}};
    EnumThreadWindows(GetCurrentThreadId(), CollectOfClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

Host::Host(int w, int h) {
    RegisterClassOnce("PelvaneTestHost", 0, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    CreateWnd(0, "PelvaneTestHost", "test", WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN | WS_VISIBLE, 50, 50,
              Scale(w), Scale(h), nullptr, nullptr);
    Pump();
}

LRESULT Host::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND && lp == 0) lastCommand = LOWORD(wp);
    return Window::HandleMessage(msg, wp, lp);
}

Host& SharedHostWindow() {
    // Never destroyed: the process's end takes it with it, while a destroy at
    // the end would wait those two seconds in every case's process.
    static Host* host = std::make_unique<Host>().release();
    return *host;
}

HWND SharedHost() {
    return SharedHostWindow().Handle();
}

void Pump() {
    MSG msg;
    for (int i = 0; i < 10000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD limitMs, const std::function<void()>& pump) {
    const DWORD start = GetTickCount();
    for (pump(); !done(); pump()) {
        DWORD spent = GetTickCount() - start;
        if (spent >= limitMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, limitMs - spent, QS_ALLINPUT);
    }
    return true;
}

void PressKey(HWND wnd, UINT vk, bool ctrl, bool shift) {
    BYTE saved[256], state[256];
    GetKeyboardState(saved);
    memcpy(state, saved, sizeof state);
    state[VK_CONTROL] = ctrl ? 0x80 : 0;
    state[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(state);
    SendMessageA(wnd, WM_KEYDOWN, vk, 1);
    char ch = 0;
    if (vk == VK_RETURN) ch = '\r';
    if (vk == VK_TAB) ch = '\t';
    if (vk == VK_ESCAPE) ch = 27;
    if (vk == VK_BACK) ch = '\b';
    if (ch && IsWindow(wnd)) SendMessageA(wnd, WM_CHAR, static_cast<WPARAM>(ch), 1);
    if (IsWindow(wnd)) SendMessageA(wnd, WM_KEYUP, vk, 0xC0000001);
    SetKeyboardState(saved);
    Pump();
}

void Type(HWND wnd, const std::string& text) {
    for (char c : text) SendMessageA(wnd, WM_CHAR, static_cast<unsigned char>(c), 1);
    Pump();
}

void Click(HWND wnd, int x, int y, bool dbl) {
    LPARAM at = MAKELPARAM(x, y);
    SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(wnd, WM_LBUTTONUP, 0, at);
    if (dbl) {
        SendMessageA(wnd, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        SendMessageA(wnd, WM_LBUTTONUP, 0, at);
    }
    Pump();
}

WindowPixels CaptureWindow(HWND wnd) {
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    Pump();
    RECT rc;
    GetWindowRect(wnd, &rc);
    WindowPixels shot;
    if (rc.right <= rc.left || rc.bottom <= rc.top) return shot;
    shot.width = rc.right - rc.left;
    shot.height = rc.bottom - rc.top;
    WindowDC screen(nullptr);
    GdiObject bitmap(CreateCompatibleBitmap(screen.get(), shot.width, shot.height));
    {
        MemoryDC mem(CreateCompatibleDC(screen.get()));
        SelectedObject selected(mem.get(), bitmap.get());
        // From the screen: PrintWindow would miss children that do not answer WM_PRINT.
        BitBlt(mem.get(), 0, 0, shot.width, shot.height, screen.get(), rc.left, rc.top, SRCCOPY);
    }
    BITMAPINFOHEADER format = {sizeof format, shot.width, -shot.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    shot.pixels.resize(static_cast<size_t>(shot.width) * shot.height);
    GetDIBits(screen.get(), static_cast<HBITMAP>(bitmap.get()), 0, shot.height, shot.pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&format), DIB_RGB_COLORS);
    return shot;
}

std::string Screenshot(HWND wnd, const std::string& name) {
    const WindowPixels shot = CaptureWindow(wnd);
    // 24-bit rows, bottom up, each padded to four bytes, as a .bmp file keeps them.
    const int stride = (shot.width * 3 + 3) / 4 * 4;
    std::string rows(static_cast<size_t>(stride) * shot.height, '\0');
    for (int y = 0; y < shot.height; ++y) {
        char* row = &rows[static_cast<size_t>(shot.height - 1 - y) * stride];
        for (int x = 0; x < shot.width; ++x) {
            const uint32_t p = shot.pixels[static_cast<size_t>(y) * shot.width + x];
            row[x * 3] = static_cast<char>(p & 0xFF);
            row[x * 3 + 1] = static_cast<char>(p >> 8 & 0xFF);
            row[x * 3 + 2] = static_cast<char>(p >> 16 & 0xFF);
        }
    }
    BITMAPINFOHEADER info = {sizeof info, shot.width, shot.height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(rows.size());
    CreateDirectoryA("..\\screenshots", nullptr);
    std::string path = "..\\screenshots\\" + name + ".bmp";
    WriteBytes(path, std::string(reinterpret_cast<const char*>(&file), sizeof file) +
                         std::string(reinterpret_cast<const char*>(&info), sizeof info) + rows);
    return path;
}

std::string ClipboardText() {
    return pelvane::ClipboardText(nullptr);
}

BoxInfo ReadBox(HWND box) {
    BoxInfo info;
    info.wnd = box;
    char text[1024] = {};
    GetWindowTextA(box, text, sizeof text);
    info.caption = text;
    text[0] = 0;
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the static text's id in a message box
    info.text = text;
    return info;
}

std::vector<BoxInfo> OpenBoxes() {
    std::vector<BoxInfo> boxes;
    for (HWND box : ThreadWindows("#32770")) boxes.push_back(ReadBox(box));
    return boxes;
}

HWND OpenPopupMenu() {
    std::vector<HWND> menus = ThreadWindows("#32768");
    return menus.empty() ? nullptr : menus.front();
}

IdleAction::IdleAction(std::function<bool()> action, UINT every)
    : timer_(SetTimer(nullptr, 0, every, IdleTimer)) {
    if (timer_) PendingActions()[timer_].action = std::move(action);
}

IdleAction::IdleAction(IdleAction&& other) noexcept : timer_(std::exchange(other.timer_, 0)) {}

IdleAction& IdleAction::operator=(IdleAction&& other) noexcept {
    if (this != &other) {
        Cancel();
        timer_ = std::exchange(other.timer_, 0);
    }
    return *this;
}

IdleAction::~IdleAction() {
    Cancel();
}

void IdleAction::Cancel() {
    if (timer_) Forget(std::exchange(timer_, 0));
}

IdleAction WhenIdle(std::function<bool()> action, UINT every) {
    return IdleAction(std::move(action), every);
}

IdleAction AnswerNextBox(std::vector<BoxInfo>& seen) {
    return WhenIdle([&seen] {
        auto boxes = OpenBoxes();
        if (boxes.empty()) return false;
        seen.push_back(boxes.front());
        PostMessageA(boxes.front().wnd, WM_COMMAND, IDOK, 0);
        return true;
    });
}

std::vector<BoxInfo> BoxesShownBy(const std::function<void()>& action) {
    std::vector<HWND> seen;  // open before the action: not its own
    for (const BoxInfo& box : OpenBoxes()) seen.push_back(box.wnd);
    std::vector<BoxInfo> shown;
    auto closer = WhenIdle([&] {
        for (const BoxInfo& box : OpenBoxes()) {
            if (std::find(seen.begin(), seen.end(), box.wnd) != seen.end()) continue;
            seen.push_back(box.wnd);
            shown.push_back(box);
            EndDialog(box.wnd, IDCANCEL);
        }
        return false;
    });
    action();
    return shown;
}

IdleAction ChooseFirstItemOfNextMenu() {
    return WhenIdle([] {
        HWND popup = OpenPopupMenu();
        if (!popup) return false;
        PostMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(popup, WM_KEYDOWN, VK_RETURN, 0);
        return true;
    });
}

}  // namespace pelvane::test
