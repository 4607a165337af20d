#include "ui/MainWindowParts.h"

#include <commctrl.h>

#include <algorithm>

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

void DrawCentred(HDC dc, const RECT& rc, const char* text, int height, COLORREF color) {
    FontSpec spec{"Tahoma", height, DEFAULT_CHARSET, DEFAULT_PITCH | FF_SWISS, FW_BOLD};
    spec.quality = ANTIALIASED_QUALITY;
    GdiObject font = MakeFont(spec);
    SelectedObject selected(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    RECT r = rc;
    DrawTextA(dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void RoundPanel(HDC dc, const RECT& rc, int radius, COLORREF fill, COLORREF edge) {
    GdiObject brush(CreateSolidBrush(fill));
    GdiObject pen(CreatePen(PS_SOLID, 1, edge));
    SelectedObject selectedBrush(dc, brush.get());
    SelectedObject selectedPen(dc, pen.get());
    RoundRect(dc, rc.left, rc.top, rc.right, rc.bottom, radius, radius);
}

// A pen, and a brush of the same colour or none, for the menu images.
class Ink {
  public:
    enum Fill { kFilled, kHollow };
    Ink(HDC dc, COLORREF color, int width = 1, Fill fill = kFilled)
        : pen_(CreatePen(PS_SOLID, width, color)),
          brush_(fill == kFilled ? CreateSolidBrush(color) : nullptr),
          selectedPen_(dc, pen_.get()),
          selectedBrush_(dc, fill == kFilled ? brush_.get() : GetStockObject(NULL_BRUSH)) {}

  private:
    GdiObject pen_, brush_;
    SelectedObject selectedPen_, selectedBrush_;
};

void Line(HDC dc, int x1, int y1, int x2, int y2) {
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

// A sheet of paper with lines of text, framed.
void Page(HDC dc, int l, int t, int r, int b) {
    {
        Ink paper(dc, RGB(255, 255, 255));
        Rectangle(dc, l, t, r, b);
    }
    {
        Ink frame(dc, RGB(90, 90, 90), 1, Ink::kHollow);
        Rectangle(dc, l, t, r, b);
    }
    Ink lines(dc, RGB(120, 140, 190));
    for (int y = t + 3; y < b - 2; y += 2) Line(dc, l + 2, y, r - 2, y);
}

void DrawCut(HDC dc) {
    {
        Ink blade(dc, RGB(80, 80, 80), 2);
        Line(dc, 5, 9, 11, 1);
        Line(dc, 10, 9, 4, 1);
    }
    Ink handle(dc, RGB(190, 30, 30), 2, Ink::kHollow);
    Ellipse(dc, 1, 9, 7, 15);
    Ellipse(dc, 9, 9, 15, 15);
}

void DrawCopy(HDC dc) {
    Page(dc, 1, 1, 10, 12);
    Page(dc, 5, 4, 15, 15);
}

void DrawPaste(HDC dc) {
    {
        Ink board(dc, RGB(160, 110, 50));
        RoundRect(dc, 1, 2, 12, 15, 3, 3);
    }
    {
        Ink clip(dc, RGB(120, 120, 120));
        Rectangle(dc, 4, 1, 9, 4);
    }
    Page(dc, 6, 6, 15, 15);
}

void DrawUndo(HDC dc) {
    {
        Ink arrow(dc, RGB(30, 90, 180), 2, Ink::kHollow);
        Arc(dc, 3, 4, 15, 15, 4, 7, 9, 14);
    }
    Ink head(dc, RGB(30, 90, 180), 1);
    POINT tip[3] = {{1, 6}, {7, 1}, {7, 10}};
    Polygon(dc, tip, 3);
}

void DrawDelete(HDC dc) {
    Ink cross(dc, RGB(200, 30, 30), 3);
    Line(dc, 3, 3, 13, 13);
    Line(dc, 13, 3, 3, 13);
}

void DrawDeleteTask(HDC dc) {
    {
        Ink table(dc, RGB(255, 255, 255));
        Rectangle(dc, 0, 2, 14, 13);
    }
    {
        Ink grid(dc, RGB(90, 90, 90), 1, Ink::kHollow);
        Rectangle(dc, 0, 2, 14, 13);
        Line(dc, 0, 5, 14, 5);
        Line(dc, 0, 9, 14, 9);
        Line(dc, 5, 2, 5, 13);
    }
    Ink cross(dc, RGB(200, 30, 30), 2);
    Line(dc, 8, 8, 15, 15);
    Line(dc, 15, 8, 8, 15);
}

// In the order of MenuImages' indexes.
void (*const kDrawImage[MenuImages::kCount])(HDC) = {DrawCut,  DrawCopy,   DrawPaste,
                                                     DrawUndo, DrawDelete, DrawDeleteTask};

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
    HWND box = CreateChild(parent, "BUTTON", caption, WS_CLIPCHILDREN | BS_GROUPBOX, x, y, w, h, id,
                           WS_EX_CONTROLPARENT);
    SetWindowSubclass(box, GroupBoxProc, 0, reinterpret_cast<DWORD_PTR>(form));
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
            PaintDC dc(Handle());
            RECT rc;
            GetClientRect(Handle(), &rc);
            FillRect(dc.get(), &rc, GetSysColorBrush(COLOR_BTNFACE));
            if (painter_) painter_(dc.get(), rc);
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

void PaintProgramIcon(HDC dc, const RECT& rc) {
    int size = std::min(rc.right - rc.left, rc.bottom - rc.top);
    if (IconHandle icon = LoadProgramIcon(size)) {
        DrawIconEx(dc, rc.left, rc.top, icon.get(), size, size, 0, nullptr, DI_NORMAL);
        return;
    }
    RECT box = {rc.left + 1, rc.top + 1, rc.left + size - 1, rc.top + size - 1};
    RoundPanel(dc, box, size / 3, kLogoBlue, kLogoEdge);
    DrawCentred(dc, box, "P", -size * 3 / 4, RGB(255, 255, 255));
}

void MenuImages::Create() {
    constexpr int kSize = 16;
    constexpr COLORREF kKey = RGB(255, 0, 255);
    MemoryDC mem(CreateCompatibleDC(WindowDC(nullptr).get()));
    for (int i = 0; i < kCount; ++i) {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = kSize;
        bi.bmiHeader.biHeight = -kSize;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        images_[i].reset(CreateDIBSection(mem.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!images_[i]) continue;
        {
            SelectedObject selected(mem.get(), images_[i].get());
            RECT all = {0, 0, kSize, kSize};
            GdiObject key(CreateSolidBrush(kKey));
            FillRect(mem.get(), &all, static_cast<HBRUSH>(key.get()));
            kDrawImage[i](mem.get());
            GdiFlush();
        }
        // GDI leaves alpha at 0: the key colour becomes transparent, the rest opaque.
        auto* px = static_cast<DWORD*>(bits);
        const DWORD keyPixel = 0x00FF00FF;
        for (int p = 0; p < kSize * kSize; ++p)
            px[p] = (px[p] & 0x00FFFFFF) == keyPixel ? 0 : (px[p] | 0xFF000000);
    }
}

}  // namespace pelvane
