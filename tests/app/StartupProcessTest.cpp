// The real Pelvane.exe started as a process in a scratch program folder,
// watched from outside through its top-level windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "common/Seged.h"
#include "common/Text.h"
#include "store/TaskStore.h"
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
    // The program folder is the scratch folder, or the folder below it given
    // (created). prepare runs before the start, with the folder in place.
    explicit Program(const std::string& ini, const std::wstring& below = {},
                     const std::function<void(const Program&)>& prepare = {})
        : below_(below) {
        if (!below_.empty()) dir_.MakeFolder(below_);
        // The program as built for these tests: its autostart entry goes under
        // the scratch key HKCU\Software\PelvaneTest\StartupProcess.
        CopyFileW((AppDir() + L"\\startup-program\\Pelvane.exe").c_str(), ExePath().c_str(), FALSE);
        CopyFileW((AppDir() + L"\\sqlite3.dll").c_str(), Path(L"sqlite3.dll").c_str(), FALSE);
        // An empty task table of its own: the build's may hold tasks, which
        // a scheduled run would back up.
        test::MakeTaskDatabase(Path(L"Pelvane.sqb"));
        test::WriteBytes(Path(L"Pelvane.ini"), ini);
        if (prepare) prepare(*this);
        // Started from elsewhere, as Windows starts it at logon.
        std::wstring command = L"\"" + ExePath() + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        started_ = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  dir_.Path(L"").c_str(), &si, &pi_) != FALSE;
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
    // The scratch folder, and a file of the program folder by its true name.
    const test::ScratchFolder& Dir() const { return dir_; }
    std::wstring Path(const std::wstring& name) const {
        return dir_.Path(below_.empty() ? name : below_ + L"\\" + name);
    }
    std::wstring ExePath() const { return Path(L"Pelvane.exe"); }
    std::string Ini() const { return test::ReadBytes(Path(L"Pelvane.ini")); }
    // Starts Pelvane.exe once more from the same folder and waits for it to
    // end: its exit code, or STILL_ACTIVE when it went on running.
    DWORD StartAgain() const {
        std::wstring command = L"\"" + ExePath() + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION again{};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, Path(L"").c_str(),
                            &si, &again))
            return ERROR_FILE_NOT_FOUND;
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(again.hProcess, kLimitMs) == WAIT_OBJECT_0) {
            GetExitCodeProcess(again.hProcess, &code);
        } else {
            TerminateProcess(again.hProcess, 99);
            WaitForSingleObject(again.hProcess, kLimitMs);
        }
        CloseHandle(again.hThread);
        CloseHandle(again.hProcess);
        return code;
    }
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
    std::wstring below_;
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

// Installed under the profile of a user whose name the code page cannot hold
// (the è of "Hélène", Cyrillic letters): the program loads its library and
// its tasks from its folder, runs them, writes its settings and its log file
// there, and a Run value that names it exactly, replacing the unquoted one
// of an earlier version.
TEST(StartupProcess, FromAProgramFolderOutsideTheCodePageEverythingIsFoundAndTheRunValueNamesIt) {
    for (const std::wstring user : {L"Hélène", L"Мария Kovács"}) {
        const std::wstring source = user + L"\\Dokumentumok", target = user + L"\\Mentés";
        Program p(kIniAutoStartOff, user + L"\\Pelvane", [&](const Program& q) {
            q.Dir().Write(source + L"\\a.txt", "1");
            TaskStore store(q.Path(L""));
            store.AddTask(q.Dir().Path(source), q.Dir().Path(target));
            const std::wstring before = q.ExePath();  // unquoted
            RegSetKeyValueW(q.Root().get(), L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"Pelvane",
                            REG_SZ, before.c_str(),
                            static_cast<DWORD>((before.size() + 1) * sizeof(wchar_t)));
        });
        ASSERT_TRUE(p.Started());
        ASSERT_TRUE(p.WaitFor([&] { return p.Visible(kMainClass); })) << "no main window";
        EXPECT_EQ(p.Window("#32770"), nullptr) << "an error box";

        // The run walks the tasks the window read from its database.
        DWORD_PTR result = 0;
        ASSERT_TRUE(SendMessageTimeoutA(p.MainControl(Tfrm_Main::kButton1), BM_CLICK, 0, 0, SMTO_NORMAL,
                                        kLimitMs, &result));
        EXPECT_EQ(p.Dir().Read(target + L"\\Dokumentumok\\a.txt"), "1");
        const std::string log = test::ReadBytes(p.Path(L"Pelvane.log"));
        EXPECT_NE(
            log.find(WideToUtf8(L"*** Feladat: " + p.Dir().Path(source) + L" >> " + p.Dir().Path(target))),
            std::string::npos)
            << log;
        EXPECT_NE(log.find(WideToUtf8(L"*** Mentés kész: ")), std::string::npos) << log;

        SendMessageA(p.MainControl(Tfrm_Main::kCheckBox1), BM_CLICK, 0, 0);
        PostMessageA(p.Window(kMainClass), WM_CLOSE, 0, 0);
        DWORD code = 1;
        ASSERT_TRUE(p.Exited(code));
        EXPECT_EQ(code, 0u);
        EXPECT_NE(p.Ini().find("[Defaults]\r\nAutoStart=1\r\n"), std::string::npos) << p.Ini();
        EXPECT_EQ(p.Root().WideString(test::kRunSubKey, "Pelvane"), L"\"" + p.ExePath() + L"\"" + L'\0');
    }
}

// With autostart on the program lives in the notification area and may
// never be closed: the entry an earlier version wrote for it (unquoted, in
// the code page: "è" became "e", Cyrillic "?") is quoted at start-up.
TEST(StartupProcess, AtStartUpTheEntryAnEarlierVersionWroteIsQuoted) {
    const std::wstring folder = L"Hélène Мария";
    Program p(kIniAutoStartOn, folder, [&](const Program& q) {
        const std::string before = q.Dir().Path() + "\\H\xE9lene ?????\\Pelvane.exe";
        RegSetKeyValueA(q.Root().get(), test::kRunSubKey, "Pelvane", REG_SZ, before.c_str(),
                        static_cast<DWORD>(before.size() + 1));
    });
    ASSERT_TRUE(p.Started());
    ExpectSplashFirst(p);
    ASSERT_TRUE(p.Settled());
    EXPECT_EQ(p.Root().WideString(test::kRunSubKey, "Pelvane"), L"\"" + p.ExePath() + L"\"" + L'\0');
    PostMessageA(p.Window(TrayIcon::kClassName), WM_COMMAND, LogoWindow::kBezr1, 0);
    DWORD code = 1;
    ASSERT_TRUE(p.Exited(code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(p.Ini(), kIniAutoStartOn);
}

// A second Pelvane from the same folder would run a second scheduler over the
// same tasks, settings, log and targets: it brings the first one's window
// forward (out of the tray) and ends. One from another folder runs as usual.
TEST(StartupProcess, ASecondStartFromTheSameFolderShowsTheFirstWindowAndEnds) {
    Program p(kIniAutoStartOn);
    ASSERT_TRUE(p.Started());
    ExpectSplashFirst(p);
    ASSERT_TRUE(p.Settled());
    ASSERT_FALSE(p.Visible(kMainClass));
    const HWND main = p.Window(kMainClass);

    EXPECT_EQ(0u, p.StartAgain());
    EXPECT_TRUE(p.WaitFor([&] { return p.Visible(kMainClass); })) << "the first window stays in the tray";
    EXPECT_EQ(main, p.Window(kMainClass));
    ASSERT_TRUE(p.Settled()) << "the first one ended";

    Program other(kIniAutoStartOff);
    ASSERT_TRUE(other.Started());
    EXPECT_TRUE(other.WaitFor([&] { return other.Visible(kMainClass); }));
}
