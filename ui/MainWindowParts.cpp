#include "ui/MainWindowParts.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "resources/Picture.h"
#include "ui/Application.h"

namespace pelvane {
namespace {

constexpr char kContainerClass[] = "PelvanePanel";
constexpr char kPictureClass[] = "PelvanePicture";
constexpr COLORREF kLogoBlue = RGB(31, 84, 160);
constexpr COLORREF kLogoEdge = RGB(14, 52, 112);

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
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(wnd, &ps);
            RECT rc;
            GetClientRect(wnd, &rc);
            FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
            DefSubclassProc(wnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
            EndPaint(wnd, &ps);
            return 0;
        }
    }
    return DefSubclassProc(wnd, msg, wp, lp);
}

HFONT MakeBoldFont(int height) {
    return CreateFontA(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, "Tahoma");
}

void DrawCentred(HDC dc, const RECT& rc, const char* text, int height, COLORREF color) {
    GdiObject font(MakeBoldFont(height));
    HGDIOBJ old = SelectObject(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    RECT r = rc;
    DrawTextA(dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
}

void RoundPanel(HDC dc, const RECT& rc, int radius, COLORREF fill, COLORREF edge) {
    GdiObject brush(CreateSolidBrush(fill));
    GdiObject pen(CreatePen(PS_SOLID, 1, edge));
    HGDIOBJ oldBrush = SelectObject(dc, brush.get());
    HGDIOBJ oldPen = SelectObject(dc, pen.get());
    RoundRect(dc, rc.left, rc.top, rc.right, rc.bottom, radius, radius);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
}

BOOL CALLBACK FirstIconName(HMODULE, LPCSTR, LPSTR name, LONG_PTR found) noexcept {
    return Application::Guarded("icon enumeration", FALSE, [&] {
        auto* out = reinterpret_cast<std::string*>(found);
        // Numbered resources are looked up as "#n".
        *out = IS_INTRESOURCE(name) ? "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name))
                                    : std::string(name);
        return FALSE;
    });
}

// Pens and brushes for the menu images.
struct Ink {
    explicit Ink(HDC dc, COLORREF color, int width = 1)
        : dc_(dc), pen_(CreatePen(PS_SOLID, width, color)), brush_(CreateSolidBrush(color)) {
        oldPen_ = SelectObject(dc, pen_.get());
        oldBrush_ = SelectObject(dc, brush_.get());
    }
    ~Ink() {
        SelectObject(dc_, oldPen_);
        SelectObject(dc_, oldBrush_);
    }
    HDC dc_;
    GdiObject pen_, brush_;
    HGDIOBJ oldPen_, oldBrush_;
};

void Line(HDC dc, int x1, int y1, int x2, int y2) {
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

void Page(HDC dc, int l, int t, int r, int b) {
    {
        Ink ink(dc, RGB(255, 255, 255));
        Rectangle(dc, l, t, r, b);
    }
    HGDIOBJ old = SelectObject(dc, GetStockObject(NULL_BRUSH));
    {
        Ink ink(dc, RGB(90, 90, 90));
        SelectObject(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, l, t, r, b);
    }
    Ink lines(dc, RGB(120, 140, 190));
    for (int y = t + 3; y < b - 2; y += 2) Line(dc, l + 2, y, r - 2, y);
    SelectObject(dc, old);
}

void DrawImage(HDC dc, int index) {
    switch (index) {
        case MenuImages::kCut: {
            Ink blade(dc, RGB(80, 80, 80), 2);
            Line(dc, 5, 9, 11, 1);
            Line(dc, 10, 9, 4, 1);
            Ink handle(dc, RGB(190, 30, 30), 2);
            SelectObject(dc, GetStockObject(NULL_BRUSH));
            Ellipse(dc, 1, 9, 7, 15);
            Ellipse(dc, 9, 9, 15, 15);
            break;
        }
        case MenuImages::kCopy:
            Page(dc, 1, 1, 10, 12);
            Page(dc, 5, 4, 15, 15);
            break;
        case MenuImages::kPaste: {
            {
                Ink board(dc, RGB(160, 110, 50));
                RoundRect(dc, 1, 2, 12, 15, 3, 3);
            }
            {
                Ink clip(dc, RGB(120, 120, 120));
                Rectangle(dc, 4, 1, 9, 4);
            }
            Page(dc, 6, 6, 15, 15);
            break;
        }
        case MenuImages::kUndo: {
            Ink arrow(dc, RGB(30, 90, 180), 2);
            SelectObject(dc, GetStockObject(NULL_BRUSH));
            Arc(dc, 3, 4, 15, 15, 4, 7, 9, 14);
            Ink head(dc, RGB(30, 90, 180), 1);
            POINT tip[3] = {{1, 6}, {7, 1}, {7, 10}};
            Polygon(dc, tip, 3);
            break;
        }
        case MenuImages::kDelete: {
            Ink cross(dc, RGB(200, 30, 30), 3);
            Line(dc, 3, 3, 13, 13);
            Line(dc, 13, 3, 3, 13);
            break;
        }
        case MenuImages::kDeleteTask: {
            {
                Ink table(dc, RGB(255, 255, 255));
                Rectangle(dc, 0, 2, 14, 13);
            }
            {
                Ink grid(dc, RGB(90, 90, 90));
                SelectObject(dc, GetStockObject(NULL_BRUSH));
                Rectangle(dc, 0, 2, 14, 13);
                Line(dc, 0, 5, 14, 5);
                Line(dc, 0, 9, 14, 9);
                Line(dc, 5, 2, 5, 13);
            }
            Ink cross(dc, RGB(200, 30, 30), 2);
            Line(dc, 8, 8, 15, 15);
            Line(dc, 15, 8, 8, 15);
            break;
        }
    }
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
    HWND box = CreateWindowExA(
        WS_EX_CONTROLPARENT, "BUTTON", caption, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | BS_GROUPBOX, x, y,
        w, h, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    if (box) SetWindowSubclass(box, GroupBoxProc, 0, reinterpret_cast<DWORD_PTR>(form));
    return box;
}

void Picture::Create(HWND parent, int id, int x, int y, int w, int h, Painter painter) {
    painter_ = std::move(painter);
    RegisterClassOnce(kPictureClass, 0, nullptr, nullptr);
    CreateWnd(0, kPictureClass, "", WS_CHILD | WS_VISIBLE, x, y, w, h, parent,
              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

LRESULT Picture::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(Handle(), &ps);
            RECT rc;
            GetClientRect(Handle(), &rc);
            FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
            if (painter_) painter_(dc, rc);
            EndPaint(Handle(), &ps);
            return 0;
        }
    }
    return Window::HandleMessage(msg, wp, lp);
}

void PaintLogo(HDC dc, const RECT& rc) {
    // The program's own picture when the executable carries it.
    if (PictureSize(IDB_LOGO).cx) {
        DrawPicture(dc, IDB_LOGO, rc, GetSysColor(COLOR_BTNFACE));
        return;
    }
    RoundPanel(dc, rc, Scale(12), kLogoBlue, kLogoEdge);
    RECT shadow = rc;
    OffsetRect(&shadow, 1, 1);
    DrawCentred(dc, shadow, "Pelvane", -(rc.bottom - rc.top) * 2 / 3, kLogoEdge);
    DrawCentred(dc, rc, "Pelvane", -(rc.bottom - rc.top) * 2 / 3, RGB(255, 255, 255));
}

HICON LoadProgramIcon(int size) {
    HMODULE self = GetModuleHandleA(nullptr);
    std::string name;
    EnumResourceNamesA(self, RT_GROUP_ICON, FirstIconName, reinterpret_cast<LONG_PTR>(&name));
    if (name.empty()) return nullptr;
    LPCSTR resource = name[0] == '#' ? MAKEINTRESOURCEA(std::stoi(name.substr(1))) : name.c_str();
    return static_cast<HICON>(LoadImageA(self, resource, IMAGE_ICON, size, size, 0));
}

void PaintProgramIcon(HDC dc, const RECT& rc) {
    int size = std::min(rc.right - rc.left, rc.bottom - rc.top);
    if (HICON icon = LoadProgramIcon(size)) {
        DrawIconEx(dc, rc.left, rc.top, icon, size, size, 0, nullptr, DI_NORMAL);
        DestroyIcon(icon);
        return;
    }
    RECT box = {rc.left + 1, rc.top + 1, rc.left + size - 1, rc.top + size - 1};
    RoundPanel(dc, box, size / 3, kLogoBlue, kLogoEdge);
    DrawCentred(dc, box, "P", -size * 3 / 4, RGB(255, 255, 255));
}

void MenuImages::Create() {
    constexpr int kSize = 16;
    constexpr COLORREF kKey = RGB(255, 0, 255);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    for (int i = 0; i < kCount; ++i) {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = kSize;
        bi.bmiHeader.biHeight = -kSize;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HBITMAP bmp = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!bmp) continue;
        images_[i].reset(bmp);
        HGDIOBJ old = SelectObject(mem, bmp);
        RECT all = {0, 0, kSize, kSize};
        GdiObject key(CreateSolidBrush(kKey));
        FillRect(mem, &all, static_cast<HBRUSH>(key.get()));
        DrawImage(mem, i);
        GdiFlush();
        SelectObject(mem, old);
        // GDI leaves alpha at 0: the key colour becomes transparent, the rest opaque.
        auto* px = static_cast<DWORD*>(bits);
        const DWORD keyPixel = 0x00FF00FF;
        for (int p = 0; p < kSize * kSize; ++p)
            px[p] = (px[p] & 0x00FFFFFF) == keyPixel ? 0 : (px[p] | 0xFF000000);
    }
    DeleteDC(mem);
}

}  // namespace pelvane
