#include "ui/ErrorBox.h"

namespace pelvane {

void ShowError(const std::string& text, HWND owner) {
    MessageBoxA(owner, text.c_str(), "Hiba", MB_ICONERROR | MB_OK);
}

}  // namespace pelvane
