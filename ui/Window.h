#pragma once
// The one window base: a static window procedure finds the object (stored at
// WM_NCCREATE) and forwards every message to its virtual handler.
#include <windows.h>

#include <string>

#include "common/Handles.h"

namespace pelvane {

// Layouts are given in pixels at 96 dpi; everything on screen is scaled by
// the system dpi read once.
int SystemDpi();
inline int Scale(int px96) {
    return MulDiv(px96, SystemDpi(), 96);
}

// A font as CreateFontA takes it, with the details our fonts vary in.
struct FontSpec {
    const char* face;
    int height;  // device pixels (negative: character height)
    BYTE charset = DEFAULT_CHARSET;
    BYTE pitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    int weight = FW_NORMAL;
    bool underline = false;
    BYTE quality = DEFAULT_QUALITY;
};
GdiObject MakeFont(const FontSpec& look);
// A font given by its height in pixels at 96 dpi (negative: character height).
GdiObject MakeFont(const char* face, int height96, BYTE charset,
                   BYTE pitchAndFamily = DEFAULT_PITCH | FF_DONTCARE);

// A child control of a system class, visible, at x, y with size w, h in the
// parent's client pixels; throws when the system refuses.
HWND CreateChild(HWND parent, const char* className, const char* text, DWORD style, int x, int y, int w,
                 int h, int id, DWORD exStyle = 0);
// The same, placed in pixels at 96 dpi (the layout tables' unit).
HWND CreateChild96(HWND parent, const char* className, const char* text, DWORD style, int x, int y, int w,
                   int h, int id, DWORD exStyle = 0);

// The state of a check box or radio button.
bool Checked(HWND button);
void SetChecked(HWND button, bool checked);

// Where a scroll-bar request (the code of WM_VSCROLL or WM_HSCROLL) moves
// pos: a line or a page either way, to 0 or last, or to the thumb's 32-bit
// track position (the message carries only 16 bits). False when it does not move.
bool ScrollRequest(HWND wnd, int bar, int code, int line, int page, int last, int& pos);

// Sent to a child control with the wParam/lParam of the WM_CTLCOLOR* message
// that its parent received; a non-zero answer is the brush to use.
constexpr UINT WM_REFLECT_CTLCOLOR = WM_APP + 0x3F00;

class Window {
  public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND Handle() const { return hwnd_; }
    void SetBounds(int x, int y, int w, int h);
    void SetEnabled(bool enabled) { EnableWindow(hwnd_, enabled); }
    bool Enabled() const { return IsWindowEnabled(hwnd_) != FALSE; }

    // The object behind a window created through this base, or null.
    static Window* FromHandle(HWND wnd);

  protected:
    // Registers the class once per process; the class uses StaticWndProc.
    static void RegisterClassOnce(const char* className, UINT style, HCURSOR cursor, HBRUSH background);
    // Creates the window; throws when the system refuses.
    void CreateWnd(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int w,
                   int h, HWND parent, HMENU menuOrId);

    // Default: reflects WM_CTLCOLOR* to the child, hands the scroll bars'
    // requests to OnVScroll and OnHScroll, then DefWindowProc.
    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    // A request of the window's own scroll bar: the code of WM_VSCROLL or
    // WM_HSCROLL (see ScrollRequest).
    virtual void OnVScroll(int /*code*/) {}
    virtual void OnHScroll(int /*code*/) {}
    // After the window is gone (WM_NCDESTROY); Handle() is null by then.
    virtual void Destroyed() {}

  private:
    static LRESULT CALLBACK StaticWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;

    HWND hwnd_ = nullptr;
};

}  // namespace pelvane
