#pragma once
// ShowError of Seged: the program's own error box.
#include <windows.h>

#include <string>

namespace pelvane {

// A message box with the caption "Hiba", the error icon and OK, modal to owner.
void ShowError(const std::string& text, HWND owner);

}  // namespace pelvane
