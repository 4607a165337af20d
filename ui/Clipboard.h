#pragma once
// Text on the clipboard as CF_TEXT: the code page's bytes, as our controls hold them.
#include <windows.h>

#include <string>

namespace pelvane {

// Replaces the clipboard's content with text; false when the clipboard could
// not be opened (another program holds it).
bool SetClipboardText(HWND owner, const std::string& text);
// The clipboard's text, or "" when it holds none or cannot be opened.
std::string ClipboardText(HWND owner);

}  // namespace pelvane
