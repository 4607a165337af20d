#include "ui/ErrorBox.h"

#include "ui/Application.h"

namespace pelvane {

void ShowError(const std::string& text, HWND owner) {
    Application::ModalScope modal;
    MessageBoxA(owner, text.c_str(), "Hiba", MB_ICONERROR | MB_OK);
}

}  // namespace pelvane
