#include "ui/Application.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/Exception.h"
#include "tests/ui/UiTestSupport.h"

namespace pelvane {
namespace {

TEST(Application, ErrorBoxTextGetsAPointAfterLettersAndDigits) {
    EXPECT_EQ("no such table: feladat.", Application::ErrorBoxText("no such table: feladat"));
    EXPECT_EQ("Hiba 5.", Application::ErrorBoxText("Hiba 5"));
    EXPECT_EQ("Stream read error.", Application::ErrorBoxText("Stream read error."));
    EXPECT_EQ("(x)", Application::ErrorBoxText("(x)"));  // ')' sorts below '.'
    EXPECT_EQ("Mentés kész.", Application::ErrorBoxText("Mentés kész"));
    EXPECT_EQ("", Application::ErrorBoxText(""));
}

// A window that records the messages it gets and fails on WM_USER.
class Probe : public Window {
  public:
    Probe() {
        RegisterClassOnce("PelvaneProbe", 0, nullptr, nullptr);
        CreateWnd(0, "PelvaneProbe", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, test::SharedHost(), nullptr);
    }
    std::vector<UINT> seen;

  private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_USER) throw Exception("Cannot open file x");
        if (msg == WM_GETDLGCODE) return DLGC_WANTALLKEYS;
        if (msg == WM_KEYDOWN || msg == WM_MOUSEWHEEL) seen.push_back(msg);
        return Window::HandleMessage(msg, wp, lp);
    }
};

TEST(Application, HookRewritesQueuedMessagesBeforeDispatch) {
    Probe probe;
    Application::SetMessageHook([](MSG& msg) {
        if (msg.message == WM_MOUSEWHEEL) {
            msg.message = WM_KEYDOWN;
            msg.wParam = static_cast<short>(HIWORD(msg.wParam)) > 0 ? VK_UP : VK_DOWN;
            msg.lParam = 0;
        }
        return false;
    });
    PostMessageA(probe.Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    Application::ProcessMessages();
    Application::SetMessageHook(nullptr);
    ASSERT_EQ(1u, probe.seen.size());
    EXPECT_EQ(static_cast<UINT>(WM_KEYDOWN), probe.seen[0]);
}

TEST(Application, FailedHandlerShowsTheStandardBoxAndGoesOn) {
    Probe probe;
    std::vector<test::BoxInfo> boxes;
    auto answer = test::AnswerNextBox(boxes);
    EXPECT_EQ(0, SendMessageA(probe.Handle(), WM_USER, 0, 0));
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Pelvane", boxes[0].caption);
    EXPECT_EQ("Cannot open file x.", boxes[0].text);
    EXPECT_TRUE(IsWindow(probe.Handle()));
}

// Nested modal windows count as one: the end is told once, when the last
// closes; an unmatched leave does not go below zero, and a failing handler
// stays inside.
TEST(Application, ModalEndIsToldOnceWhenTheLastModalWindowCloses) {
    int told = 0;
    Application::SetModalEndHandler([&told] { ++told; });
    {
        Application::ModalScope outer;
        {
            Application::ModalScope inner;
            EXPECT_TRUE(Application::InModal());
        }
        EXPECT_TRUE(Application::InModal());
        EXPECT_EQ(0, told);
    }
    EXPECT_FALSE(Application::InModal());
    EXPECT_EQ(1, told);

    Application::LeaveModal();
    EXPECT_EQ(1, told);
    Application::EnterModal();
    EXPECT_TRUE(Application::InModal());
    Application::LeaveModal();
    EXPECT_EQ(2, told);

    Application::SetModalEndHandler([] { throw Exception("posting failed"); });
    Application::EnterModal();
    Application::LeaveModal();
    EXPECT_FALSE(Application::InModal());
    Application::SetModalEndHandler(nullptr);
}

}  // namespace
}  // namespace pelvane
