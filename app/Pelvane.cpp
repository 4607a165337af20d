// Pelvane.exe: the backup tool's window program.
#include <windows.h>
#include <objbase.h>

#include <string>

#include "common/Handles.h"
#include "common/Seged.h"
#include "settings/Autostart.h"
#include "ui/Application.h"
#include "ui/LogoWindow.h"
#include "ui/MainWindow.h"
#include "ui/SingleInstance.h"

using namespace pelvane;

namespace {

// The main window reaches the application's main form, the splash, through this.
class SplashLink : public MainFormLink {
  public:
    explicit SplashLink(LogoWindow& logo) : logo_(logo) {}
    void ActivateTrayIcon() override { logo_.TrayIcon1().Activate(); }
    void CloseMainForm() override { logo_.Close(); }
    HWND MainFormHandle() override { return logo_.Handle(); }
    void ShowRunResult(const std::string& tip, const std::string& balloon) override {
        logo_.TrayIcon1().SetTip(tip);
        if (!balloon.empty()) logo_.TrayIcon1().ShowBalloon(Application::Title(), balloon);
    }
    bool MainFormClosed() override { return logo_.Closed(); }

  private:
    LogoWindow& logo_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // A Pelvane of this folder runs already: its window comes forward instead.
    SingleInstance instance(AppDir());
    if (!instance.First()) {
        instance.ShowFirst();
        return 0;
    }
    // The shell's folder dialog and launcher want a single-threaded apartment.
    HRESULT com = OleInitialize(nullptr);
    Application::SetTitle("Pelvane");
#ifdef PELVANE_TEST_AUTOSTART_ROOT
    // Built so for the start-up tests only: the autostart entry goes under a
    // scratch key, never into the user's own Run key.
    RegKeyHandle testRoot;
    {
        const std::string path = std::string("Software\\PelvaneTest\\") + PELVANE_TEST_AUTOSTART_ROOT;
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr);
        testRoot.reset(key);
        if (!testRoot) return 3;
        SetAutostartRoot(testRoot.get());
    }
#endif
    int code = 0;
    try {
        // The splash first: it is the main form, whose closing ends the program.
        LogoWindow logo;
        SplashLink link(logo);
        Tfrm_Main main(&link);  // created hidden; FormCreate has run
        logo.SetMainForm({[&main] { return main.Settings().AutoStart(); }, [&main] { main.Show(); },
                          [&main] {
                              main.Show();
                              main.ShowLogPage();
                          }});
        // A later start from this folder shows the window, as "Megnyit" does.
        instance.Listen([&main] { main.Show(); });
        // The loop starts by showing the main form; its timer then shows the
        // main window or only the tray icon.
        logo.Show();
        code = Application::Run();
        // Leaving this block destroys the main window (without its close
        // handling), then the splash, which removes the tray icon.
    } catch (const std::exception& e) {
        Application::HandleException(e);
        code = 1;
    }
    if (SUCCEEDED(com)) OleUninitialize();
    return code;
}
