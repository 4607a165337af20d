#include "ui/Picture.h"

#include <algorithm>

#include "resources/Picture.h"
#include "ui/Application.h"

namespace pelvane {
namespace {

constexpr char kPictureClass[] = "PelvanePicture";
constexpr COLORREF kLogoBlue = RGB(31, 84, 160);
constexpr COLORREF kLogoEdge = RGB(14, 52, 112);

void DrawCentred(HDC dc, const RECT& rc, const char* text, int height, COLORREF color) {
    FontSpec look{"Tahoma", height, DEFAULT_CHARSET, DEFAULT_PITCH | FF_SWISS, FW_BOLD};
    look.quality = ANTIALIASED_QUALITY;
    GdiObject font = MakeFont(look);
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

}  // namespace

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

}  // namespace pelvane
