#include "ui/Window.h"

#include "common/Exception.h"
#include "common/Text.h"
#include "ui/Application.h"

namespace pelvane {

int SystemDpi() {
    static const int dpi = [] {
        WindowDC screen(nullptr);
        int d = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
        return d > 0 ? d : 96;
    }();
    return dpi;
}

GdiObject MakeFont(const FontSpec& look) {
    return GdiObject(CreateFontA(look.height, 0, 0, 0, look.weight, FALSE, look.underline, FALSE,
                                 look.charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, look.quality,
                                 look.pitchAndFamily, look.face));
}

GdiObject MakeFont(const char* face, int height96, BYTE charset, BYTE pitchAndFamily) {
    return MakeFont(FontSpec{face, Scale(height96), charset, pitchAndFamily});
}

HWND CreateChild(HWND parent, const char* className, const char* text, DWORD style, int x, int y, int w,
                 int h, int id, DWORD exStyle) {
    HWND wnd = CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                               nullptr);
    if (!wnd) throw Exception("Cannot create the control " + std::string(className));
    return wnd;
}

HWND CreateChild96(HWND parent, const char* className, const char* text, DWORD style, int x, int y, int w,
                   int h, int id, DWORD exStyle) {
    return CreateChild(parent, className, text, style, Scale(x), Scale(y), Scale(w), Scale(h), id, exStyle);
}

bool Checked(HWND button) {
    return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetChecked(HWND button, bool checked) {
    SendMessageA(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool ScrollRequest(HWND wnd, int bar, int code, int line, int page, int last, int& pos) {
    switch (code) {
        case SB_LINEUP:
            pos -= line;
            return true;
        case SB_LINEDOWN:
            pos += line;
            return true;
        case SB_PAGEUP:
            pos -= page;
            return true;
        case SB_PAGEDOWN:
            pos += page;
            return true;
        case SB_TOP:
            pos = 0;
            return true;
        case SB_BOTTOM:
            pos = last;
            return true;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO si = {};
            si.cbSize = sizeof si;
            si.fMask = SIF_TRACKPOS;
            GetScrollInfo(wnd, bar, &si);
            pos = si.nTrackPos;
            return true;
        }
        default:
            return false;
    }
}

Window::~Window() {
    if (hwnd_) {
        // The object is going away: the window must not call back into it.
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        HWND wnd = hwnd_;
        hwnd_ = nullptr;
        DestroyWindow(wnd);
    }
}

void Window::SetBounds(int x, int y, int w, int h) {
    MoveWindow(hwnd_, x, y, w, h, TRUE);
}

Window* Window::FromHandle(HWND wnd) {
    return wnd ? reinterpret_cast<Window*>(GetWindowLongPtrA(wnd, GWLP_USERDATA)) : nullptr;
}

void Window::RegisterClassOnce(const char* className, UINT style, HCURSOR cursor, HBRUSH background) {
    WNDCLASSEXA wc = {};
    HINSTANCE inst = GetModuleHandleA(nullptr);
    if (GetClassInfoExA(inst, className, &wc)) return;
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = &Window::StaticWndProc;
    wc.hInstance = inst;
    wc.hCursor = cursor ? cursor : LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    if (!RegisterClassExA(&wc)) throw Exception(SysErrorMessage(GetLastError()));
}

void Window::CreateWnd(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                       int w, int h, HWND parent, HMENU menuOrId) {
    HWND wnd = CreateWindowExA(exStyle, className, title, style, x, y, w, h, parent, menuOrId,
                               GetModuleHandleA(nullptr), this);
    if (!wnd) throw Exception(SysErrorMessage(GetLastError()));
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORLISTBOX:
            if (LRESULT brush = SendMessageA(reinterpret_cast<HWND>(lp), WM_REFLECT_CTLCOLOR, wp, lp))
                return brush;
            break;
        case WM_VSCROLL:
        case WM_HSCROLL:
            // A scroll bar control sends them too, with its handle: its parent's business.
            if (lp) break;
            if (msg == WM_VSCROLL)
                OnVScroll(LOWORD(wp));
            else
                OnHScroll(LOWORD(wp));
            return 0;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK Window::StaticWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        self->hwnd_ = wnd;
        SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    Window* self = FromHandle(wnd);
    if (!self) return DefWindowProcA(wnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
        LRESULT r = DefWindowProcA(wnd, msg, wp, lp);
        self->hwnd_ = nullptr;
        Application::Guarded("window procedure", 0, [self] {
            self->Destroyed();
            return 0;
        });
        return r;
    }
    // A failed handler is abandoned and its message shown, as everywhere else.
    return Application::Guarded("window procedure", LRESULT{0},
                                [&] { return self->HandleMessage(msg, wp, lp); });
}

}  // namespace pelvane
