// The real Pelvane.exe started as a process in a scratch program folder,
// watched from outside through its top-level windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/Seged.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/ScratchKey.h"
#include "tests/support/TaskDatabase.h"
#include "ui/LogoWindow.h"
#include "ui/MainWindow.h"
#include "ui/TrayIcon.h"

using namespace pelvane;

namespace {

constexpr char kMainClass[] = "PelvaneMain";
// Generous: a first start under Wine takes seconds. Only a hang runs into it.
constexpr DWORD kLimitMs = 30000;

struct Found {
    DWORD pid;
    const char* cls;
    HWND wnd = nullptr;
};

// Nothing in the two enum procedures below can throw; they are noexcept as
// every callback is.
BOOL CALLBACK FindOfProcess(HWND wnd, LPARAM lp) noexcept {
    auto* f = reinterpret_cast<Found*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    char cls[64] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    if (pid == f->pid && std::strcmp(cls, f->cls) == 0) {
        f->wnd = wnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindChildById(HWND wnd, LPARAM lp) noexcept {
    auto* f = reinterpret_cast<std::pair<int, HWND>*>(lp);
    if (GetDlgCtrlID(wnd) == f->first) {
        f->second = wnd;
        return FALSE;
    }
    return TRUE;
}

// One Pelvane.exe in its own program folder, with the given settings file.
class Program {
  public:
    explicit Program(const std::string& ini) {
        // The program as built for these tests: its autostart entry goes under
        // the scratch key HKCU\Software\PelvaneTest\StartupProcess.
        CopyFileA((AppDir() + "\\startup-program\\Pelvane.exe").c_str(), dir_.Path("Pelvane.exe").c_str(),
                  FALSE);
        CopyFileA((AppDir() + "\\sqlite3.dll").c_str(), dir_.Path("sqlite3.dll").c_str(), FALSE);
        // An empty task table of its own: the build's may hold tasks, which
        // a scheduled run would back up.
        test::MakeTaskDatabase(dir_.Path("Pelvane.sqb"));
        dir_.Write("Pelvane.ini", ini);
        std::string command = "\"" + dir_.Path("Pelvane.exe") + "\"";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        started_ = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  dir_.Path().c_str(), &si, &pi_) != FALSE;
    }
    ~Program() {
        if (started_) {
            if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 99);
            WaitForSingleObject(pi_.hProcess, kLimitMs);
            CloseHandle(pi_.hThread);
            CloseHandle(pi_.hProcess);
        }
    }
    bool Started() const { return started_; }

    HWND Window(const char* cls) const {
        Found f{pi_.dwProcessId, cls};
        EnumWindows(FindOfProcess, reinterpret_cast<LPARAM>(&f));
        return f.wnd;
    }
    bool Visible(const char* cls) const {
        HWND w = Window(cls);
        return w && IsWindowVisible(w);
    }
    // Looks again and again until done(); false when the program ended or
    // the limit was reached first.
    template <typename Done>
    bool WaitFor(Done done, DWORD limitMs = kLimitMs) const {
        for (DWORD start = GetTickCount(); !done();) {
            if (GetTickCount() - start > limitMs) return false;
            if (WaitForSingleObject(pi_.hProcess, 20) == WAIT_OBJECT_0) return done();
        }
        return true;
    }
    // Returns once the program has handled what was sent to it before: a
    // window that the handler under way shows is on the screen by then.
    bool Settled() const {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(Window(TrayIcon::kClassName), WM_NULL, 0, 0, SMTO_NORMAL, kLimitMs,
                                   &result) != 0;
    }
    bool Exited(DWORD& code) const {
        if (WaitForSingleObject(pi_.hProcess, kLimitMs) != WAIT_OBJECT_0) return false;
        GetExitCodeProcess(pi_.hProcess, &code);
        return true;
    }
    std::string Ini() const { return test::ReadBytes(dir_.Path("Pelvane.ini")); }
    // Where the program keeps its autostart entry.
    const test::ScratchKey& Root() const { return root_; }
    HWND MainControl(int id) const {
        std::pair<int, HWND> f{id, nullptr};
        EnumChildWindows(Window(kMainClass), FindChildById, reinterpret_cast<LPARAM>(&f));
        return f.second;
    }

  private:
    test::ScratchKey root_{"StartupProcess", false};
    test::ScratchFolder dir_;
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
};

const char kIniAutoStartOn[] = "[Defaults]\r\nAutoStart=1\r\n";
const char kIniAutoStartOff[] = "[Defaults]\r\nAutoStart=0\r\n";

// The splash shows first, alone; then it goes.
void ExpectSplashFirst(const Program& p) {
    ASSERT_TRUE(p.WaitFor([&] { return p.Visible(LogoWindow::kClassName); })) << "no splash";
    EXPECT_FALSE(p.Visible(kMainClass));
    // The main window exists already (created hidden right after the splash).
    EXPECT_NE(p.Window(kMainClass), nullptr);
    HWND splash = p.Window(LogoWindow::kClassName);
    RECT rc;
    GetClientRect(splash, &rc);
    EXPECT_EQ(rc.right, Scale(333));
    EXPECT_EQ(rc.bottom, Scale(70));
    ASSERT_TRUE(p.WaitFor([&] { return !p.Visible(LogoWindow::kClassName); })) << "splash stays";
}

}  // namespace

// The user's own Run value, as read (never written) by these tests.
std::string UsersRunValue() {
    char data[1024] = {};
    DWORD size = sizeof data;
    if (RegGetValueA(HKEY_CURRENT_USER, test::kRunSubKey, "Pelvane", RRF_RT_REG_SZ, nullptr, data, &size) !=
        ERROR_SUCCESS)
        return "<missing>";
    return data;
}

TEST(StartupProcess, AutoStartOffShowsSplashThenMainWindowAndClosingSaves) {
    const std::string usersValue = UsersRunValue();
    Program p(kIniAutoStartOff);
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueA(p.Root().get(), test::kRunSubKey, "Pelvane", REG_SZ, "X", 2));
    ASSERT_TRUE(p.Started());
    ExpectSplashFirst(p);
    ASSERT_TRUE(p.WaitFor([&] { return p.Visible(kMainClass); })) << "no main window";
    EXPECT_FALSE(p.Visible(LogoWindow::kClassName));

    // The main window's own close saves the settings and ends the program.
    PostMessageA(p.Window(kMainClass), WM_CLOSE, 0, 0);
    DWORD code = 1;
    ASSERT_TRUE(p.Exited(code));
    EXPECT_EQ(code, 0u);
    EXPECT_NE(p.Ini(), kIniAutoStartOff);
    EXPECT_NE(p.Ini().find("AutoStart=0"), std::string::npos);
    // The entry is deleted where the program was told to keep it; the user's own stays.
    EXPECT_EQ("<missing>", p.Root().String(test::kRunSubKey, "Pelvane"));
    EXPECT_EQ(usersValue, UsersRunValue());
}

TEST(StartupProcess, AutoStartOnLeavesOnlyTheTrayIconAndBezarEndsWithoutSaving) {
    Program p(kIniAutoStartOn);
    ASSERT_TRUE(p.Started());
    ExpectSplashFirst(p);
    HWND tray = p.Window(TrayIcon::kClassName);
    ASSERT_NE(tray, nullptr);
    EXPECT_FALSE(IsWindowVisible(tray));
    // No window shows up after the splash: the handler that hid it is over.
    ASSERT_TRUE(p.Settled());
    EXPECT_FALSE(p.Visible(kMainClass));
    EXPECT_FALSE(p.Visible(LogoWindow::kClassName));

    // Megnyit, change an option, Háttérben, then Bezár from the icon's menu.
    PostMessageA(tray, WM_COMMAND, LogoWindow::kMegnyit1, 0);
    ASSERT_TRUE(p.WaitFor([&] { return p.Visible(kMainClass); }));
    HWND checkBox4 = p.MainControl(Tfrm_Main::kCheckBox4);
    ASSERT_NE(checkBox4, nullptr);
    SendMessageA(checkBox4, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageA(checkBox4, BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessageA(p.MainControl(Tfrm_Main::kButton2), BM_CLICK, 0, 0);
    ASSERT_TRUE(p.WaitFor([&] { return !p.Visible(kMainClass); }));
    EXPECT_EQ(p.Window(TrayIcon::kClassName), tray);

    PostMessageA(tray, WM_COMMAND, LogoWindow::kBezr1, 0);
    DWORD code = 1;
    ASSERT_TRUE(p.Exited(code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(p.Ini(), kIniAutoStartOn);
}

TEST(StartupProcess, LogOffEndsAtOnceWithoutSaving) {
    Program p(kIniAutoStartOff);
    ASSERT_TRUE(p.Started());
    ASSERT_TRUE(p.WaitFor([&] { return p.Visible(kMainClass); }));
    HWND splash = p.Window(LogoWindow::kClassName);
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(SendMessageA(splash, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    SendMessageTimeoutA(splash, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, nullptr);
    DWORD code = 1;
    ASSERT_TRUE(p.Exited(code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(p.Ini(), kIniAutoStartOff);
}
