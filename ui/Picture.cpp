#include "ui/Picture.h"

#include <algorithm>
#include <string>

#include "resources/Picture.h"
#include "ui/Application.h"

namespace pelvane {
namespace {

constexpr char kPictureClass[] = "PelvanePicture";
constexpr COLORREF kLogoBlue = RGB(31, 84, 160);
constexpr COLORREF kLogoEdge = RGB(14, 52, 112);

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

}  // namespace pelvane
