// Pelvane.exe: the backup tool's window program.
#include <windows.h>
#include <objbase.h>

#include "ui/Application.h"
#include "ui/MainWindow.h"

using namespace pelvane;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The shell's folder dialog and launcher want a single-threaded apartment.
    HRESULT com = OleInitialize(nullptr);
    Application::SetTitle("Pelvane");
    int code = 0;
    try {
        Tfrm_Main main;  // created hidden; FormCreate has run
        main.Show();
        code = Application::Run();
    } catch (const std::exception& e) {
        Application::HandleException(e);
        code = 1;
    }
    if (SUCCEEDED(com)) OleUninitialize();
    return code;
}
