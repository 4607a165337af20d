#include "resources/Picture.h"

#include <cstring>
#include <string>

#include "common/Exception.h"

namespace pelvane {
namespace {

// The picture's header and pixels straight from the resource section; the
// system's bitmap loader is not used because it drops the alpha bytes.
const BITMAPINFOHEADER* FindPicture(int id) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    if (!res) return nullptr;
    HGLOBAL data = LoadResource(module, res);
    auto* head = data ? static_cast<const BITMAPINFOHEADER*>(LockResource(data)) : nullptr;
    DWORD size = SizeofResource(module, res);
    if (!head || size < sizeof(BITMAPINFOHEADER) || head->biBitCount != 32 || head->biCompression != BI_RGB ||
        head->biWidth <= 0 || head->biHeight == 0)
        return nullptr;
    long long rows = head->biHeight < 0 ? -static_cast<long long>(head->biHeight) : head->biHeight;
    if (head->biSize + 4ll * head->biWidth * rows > size) return nullptr;
    return head;
}

}  // namespace

SIZE PictureSize(int id) {
    const BITMAPINFOHEADER* head = FindPicture(id);
    if (!head) return SIZE{0, 0};
    return SIZE{head->biWidth, head->biHeight < 0 ? -head->biHeight : head->biHeight};
}

GdiObject LoadPicture(int id, COLORREF background) {
    const BITMAPINFOHEADER* head = FindPicture(id);
    if (!head) throw Exception("Missing picture resource " + std::to_string(id));
    BITMAPINFO info = {};
    info.bmiHeader = *head;
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    void* bits = nullptr;
    GdiObject bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) throw Exception("Cannot create the picture " + std::to_string(id));

    const auto* src = reinterpret_cast<const BYTE*>(head) + head->biSize;
    auto* dst = static_cast<BYTE*>(bits);
    const unsigned back[3] = {GetBValue(background), GetGValue(background), GetRValue(background)};
    size_t count = static_cast<size_t>(PictureSize(id).cx) * static_cast<size_t>(PictureSize(id).cy);
    for (size_t i = 0; i < count; ++i, src += 4, dst += 4) {
        unsigned a = src[3];
        for (int c = 0; c < 3; ++c)
            dst[c] = static_cast<BYTE>((src[c] * a + back[c] * (255 - a) + 127) / 255);
        dst[3] = 0;
    }
    GdiFlush();
    return bitmap;
}

void DrawPicture(HDC dc, int id, const RECT& r, COLORREF background) {
    if (!FindPicture(id)) return;
    GdiObject bitmap = LoadPicture(id, background);
    SIZE size = PictureSize(id);
    MemoryDC mem(CreateCompatibleDC(dc));
    if (!mem) return;
    SelectedObject selected(mem.get(), bitmap.get());
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w == size.cx && h == size.cy) {
        BitBlt(dc, r.left, r.top, w, h, mem.get(), 0, 0, SRCCOPY);
    } else {
        int oldMode = SetStretchBltMode(dc, HALFTONE);
        POINT origin;
        SetBrushOrgEx(dc, 0, 0, &origin);
        StretchBlt(dc, r.left, r.top, w, h, mem.get(), 0, 0, size.cx, size.cy, SRCCOPY);
        SetBrushOrgEx(dc, origin.x, origin.y, nullptr);
        SetStretchBltMode(dc, oldMode);
    }
}

IconHandle LoadProgramIcon(int size) {
    return IconHandle(static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PELVANE), IMAGE_ICON, size, size, 0)));
}

}  // namespace pelvane
