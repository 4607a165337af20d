#include "ui/Clipboard.h"

#include <cstring>

namespace pelvane {

bool SetClipboardText(HWND owner, const std::string& text) {
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    void* bytes = mem ? GlobalLock(mem) : nullptr;
    if (bytes) {
        std::memcpy(bytes, text.c_str(), text.size() + 1);
        GlobalUnlock(mem);
    }
    // The clipboard takes the memory over only when it accepts it.
    if (mem && (!bytes || !SetClipboardData(CF_TEXT, mem))) GlobalFree(mem);
    CloseClipboard();
    return true;
}

std::string ClipboardText(HWND owner) {
    std::string text;
    if (!OpenClipboard(owner)) return text;
    if (HANDLE mem = GetClipboardData(CF_TEXT)) {
        if (auto* p = static_cast<const char*>(GlobalLock(mem))) {
            text = p;
            GlobalUnlock(mem);
        }
    }
    CloseClipboard();
    return text;
}

}  // namespace pelvane
