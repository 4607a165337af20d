#include "ui/MenuImages.h"

namespace pelvane {
namespace {

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
