// Every kind of function that Windows calls back, made to throw: the
// failure ends in the standard error box and the program goes on. The
// callbacks are noexcept, so on this build as on the 32-bit one a failure
// that got past a guard would end the test program at once.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "common/Callback.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/Application.h"
#include "ui/DataGrid.h"
#include "ui/MainWindow.h"
#include "ui/Container.h"
#include "ui/Picture.h"
#include "ui/MaskEdit.h"

namespace pelvane {
namespace {

using test::BoxInfo;

// The probe throws once, in the first callback of the given name.
std::string g_target;
bool g_standard = true;  // a std::exception, or something else entirely
int g_thrown = 0;

void ThrowingProbe(const char* callback) {
    if (g_target.empty() || g_target != callback) return;
    g_target.clear();
    ++g_thrown;
    if (g_standard) throw std::runtime_error("Hiba a visszahívásban");
    throw 42;
}

class CallbackTest : public ::testing::Test {
  protected:
    void SetUp() override { SetCallbackProbe(ThrowingProbe); }
    void TearDown() override {
        SetCallbackProbe(nullptr);
        g_target.clear();
    }
    // The next callback of that name throws; its error box is answered.
    void ThrowIn(const char* callback, bool standard = true) {
        g_target = callback;
        g_standard = standard;
        g_thrown = 0;
        answer = test::AnswerNextBox(boxes);
    }
    void ExpectOneBox(const char* text = "Hiba a visszahívásban.") {
        EXPECT_EQ(1, g_thrown);
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ("Pelvane", boxes[0].caption);
        EXPECT_EQ(text, boxes[0].text);
    }

    HWND host = test::SharedHost();
    std::vector<BoxInfo> boxes;
    test::IdleAction answer;  // declared after boxes: cancelled before the list it fills goes
};

// A window of our window base whose handler counts what it handles.
class Counting : public Window {
  public:
    // A hidden child of parent, or a hidden top-level window without one.
    explicit Counting(HWND parent) {
        RegisterClassOnce("PelvaneCallbackTest", 0, nullptr, nullptr);
        CreateWnd(0, "PelvaneCallbackTest", "", parent ? WS_CHILD : WS_POPUP, 0, 0, 10, 10, parent, nullptr);
    }
    int handled = 0;

  private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_APP) return ++handled;
        return Window::HandleMessage(msg, wp, lp);
    }
};

TEST_F(CallbackTest, WindowProcedure) {
    Counting wnd(host);
    ThrowIn("window procedure");
    EXPECT_EQ(0, SendMessageA(wnd.Handle(), WM_APP, 0, 0));  // abandoned, answers 0
    ExpectOneBox();
    EXPECT_EQ(0, wnd.handled);
    EXPECT_EQ(1, SendMessageA(wnd.Handle(), WM_APP, 0, 0));

    // Something that is no std::exception is stopped all the same.
    boxes.clear();
    ThrowIn("window procedure", false);
    SendMessageA(wnd.Handle(), WM_APP, 0, 0);
    ExpectOneBox("Ismeretlen hiba.");
    EXPECT_EQ(2, SendMessageA(wnd.Handle(), WM_APP, 0, 0));
}

TEST_F(CallbackTest, SubclassProcedures) {
    MaskEdit edit;
    edit.Create(host, 1, 10, 10, 80, 22);
    edit.SetEditMask("9999;1; ");
    ThrowIn("masked edit");
    SendMessageA(edit.Handle(), WM_CHAR, '7', 1);
    ExpectOneBox();
    EXPECT_EQ("    ", edit.Text());  // the abandoned key typed nothing
    SendMessageA(edit.Handle(), WM_CHAR, '7', 1);
    EXPECT_EQ("7   ", edit.Text());

    DataGrid grid;
    grid.Create(host, 2, 10, 40, 300, 100);
    boxes.clear();
    ThrowIn("grid editor", false);
    EXPECT_EQ(0, SendMessageA(grid.Editor(), WM_GETDLGCODE, 0, 0));
    ExpectOneBox("Ismeretlen hiba.");
    EXPECT_NE(0, SendMessageA(grid.Editor(), WM_GETDLGCODE, 0, 0));

    HWND group = CreateGroupBox(host, host, "Egyéb", 3, 10, 150, 100, 60);
    boxes.clear();
    ThrowIn("group box");
    SendMessageA(group, WM_ERASEBKGND, 0, 0);
    ExpectOneBox();
    EXPECT_EQ(1, SendMessageA(group, WM_ERASEBKGND, 0, 0));
    DestroyWindow(group);
}

TEST_F(CallbackTest, EnumProcedures) {
    // The modal loop lists the windows it disables.
    Counting dialog(nullptr);
    bool done = false;
    g_target = "modal window list";
    g_thrown = 0;
    auto idle = test::WhenIdle([&] {
        auto open = test::OpenBoxes();
        if (!open.empty()) {
            boxes.push_back(open[0]);
            PostMessageA(open[0].wnd, WM_COMMAND, IDOK, 0);
            return false;
        }
        done = !boxes.empty();
        return done;
    });
    Application::RunModal(dialog.Handle(), done);
    ExpectOneBox();
    EXPECT_TRUE(IsWindowEnabled(host));
}

TEST_F(CallbackTest, FolderBrowserCallback) {
    g_target = "folder browser";
    g_thrown = 0;
    bool cancelled = false;
    int ticks = 0;
    auto idle = test::WhenIdle([&] {
        for (const BoxInfo& box : test::OpenBoxes()) {
            if (box.caption == "Pelvane") {
                boxes.push_back(box);
                PostMessageA(box.wnd, WM_COMMAND, IDOK, 0);
                return false;
            }
        }
        auto open = test::OpenBoxes();
        // Without a box (the callback never threw) the dialog is closed after a while.
        if (open.empty() || (boxes.empty() && ++ticks < 300)) return false;
        PostMessageA(open[0].wnd, WM_COMMAND, IDCANCEL, 0);
        cancelled = true;
        return true;
    });
    FolderRequest request;
    request.owner = host;
    request.caption = "Cél mappa kiválasztás";
    std::wstring path;
    EXPECT_FALSE(ShellBrowseForFolder(request, path));
    EXPECT_TRUE(cancelled);
    ExpectOneBox();
}

}  // namespace
}  // namespace pelvane
