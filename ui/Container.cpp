#include "ui/Container.h"

#include <commctrl.h>

#include "ui/Application.h"

namespace pelvane {
namespace {

constexpr char kContainerClass[] = "PelvanePanel";

// Messages a container's children send to their parent that the form handles.
bool ForwardedToForm(UINT msg) {
    switch (msg) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_INITMENUPOPUP:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
            return true;
    }
    return false;
}

LRESULT GroupBoxMessage(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR form);

LRESULT CALLBACK GroupBoxProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR form) noexcept {
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(wnd, GroupBoxProc, 0);
    return Application::Guarded("group box", LRESULT{0},
                                [&] { return GroupBoxMessage(wnd, msg, wp, lp, form); });
}

LRESULT GroupBoxMessage(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR form) {
    if (ForwardedToForm(msg) && form) return SendMessageA(reinterpret_cast<HWND>(form), msg, wp, lp);
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            // A group box leaves its inside to its parent, which clips it out:
            // fill it, then let the box draw its frame and caption over it.
            PaintDC dc(wnd);
            RECT rc;
            GetClientRect(wnd, &rc);
            FillRect(dc.get(), &rc, GetSysColorBrush(COLOR_BTNFACE));
            DefSubclassProc(wnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
            return 0;
        }
    }
    return DefSubclassProc(wnd, msg, wp, lp);
}

}  // namespace

void Container::Create(HWND parent, HWND form, int id, int x, int y, int w, int h) {
    form_ = form;
    RegisterClassOnce(kContainerClass, 0, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    CreateWnd(WS_EX_CONTROLPARENT, kContainerClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, x, y, w, h,
              parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

LRESULT Container::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (ForwardedToForm(msg) && form_) return SendMessageA(form_, msg, wp, lp);
    return Window::HandleMessage(msg, wp, lp);
}

HWND CreateGroupBox(HWND parent, HWND form, const char* caption, int id, int x, int y, int w, int h) {
    HWND box = CreateChild96(parent, "BUTTON", caption, WS_CLIPCHILDREN | BS_GROUPBOX, x, y, w, h, id,
                             WS_EX_CONTROLPARENT);
    SetWindowSubclass(box, GroupBoxProc, 0, reinterpret_cast<DWORD_PTR>(form));
    return box;
}

}  // namespace pelvane
