#include "ui/MenuImages.h"

namespace pelvane {
namespace {

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

void DrawCut(HDC dc) {
    Ink blade(dc, RGB(80, 80, 80), 2);
    Line(dc, 5, 9, 11, 1);
    Line(dc, 10, 9, 4, 1);
    Ink handle(dc, RGB(190, 30, 30), 2);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
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
    Ink arrow(dc, RGB(30, 90, 180), 2);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Arc(dc, 3, 4, 15, 15, 4, 7, 9, 14);
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
}

// In the order of MenuImages' indexes.
void (*const kDrawImage[MenuImages::kCount])(HDC dc) = {DrawCut,  DrawCopy,   DrawPaste,
                                                        DrawUndo, DrawDelete, DrawDeleteTask};

}  // namespace

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
        kDrawImage[i](mem);
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
