#include "tests/ui/UiTestSupport.h"

#include <windowsx.h>

#include <cstdio>
#include <vector>

namespace pelvane::test {

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
    static Host host;
    return host;
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

std::string Screenshot(HWND wnd, const std::string& name) {
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    Pump();
    RECT rc;
    GetWindowRect(wnd, &rc);
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;  // bottom-up, as a .bmp file keeps it
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    // The window as it is on the screen; PrintWindow would miss children
    // that do not answer WM_PRINT.
    BitBlt(mem, 0, 0, w, h, screen, rc.left, rc.top, SRCCOPY);
    GdiFlush();
    CreateDirectoryA("..\\screenshots", nullptr);
    std::string path = "..\\screenshots\\" + name + ".bmp";
    int stride = ((w * 3 + 3) / 4) * 4;
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + static_cast<DWORD>(stride * h);
    if (FILE* f = fopen(path.c_str(), "wb")) {
        fwrite(&fh, sizeof fh, 1, f);
        fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f);
        fwrite(bits, static_cast<size_t>(stride) * h, 1, f);
        fclose(f);
    }
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return path;
}

std::string ClipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE mem = GetClipboardData(CF_TEXT)) {
        if (auto* p = static_cast<const char*>(GlobalLock(mem))) {
            text = p;
            GlobalUnlock(mem);
        }
    }
    CloseClipboard();
    return text;
}

}  // namespace pelvane::test
