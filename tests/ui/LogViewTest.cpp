#include "ui/LogView.h"

#include <gtest/gtest.h>

#include "tests/ui/UiTestSupport.h"

namespace pelvane {
namespace {

class LogViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        log.Create(host, 1, 0, 0, Scale(560), Scale(200));
        test::Pump();
    }
    void Fill(int n) {
        for (int i = 0; i < n; ++i) log.AppendLine("sor " + std::to_string(++filled));
        test::Pump();
    }
    HWND host = test::SharedHost();
    LogView log;
    int filled = 0;  // lines are numbered on from one Fill to the next
};

TEST_F(LogViewTest, AppendingKeepsCaretAndScrollPosition) {
    Fill(1000);
    EXPECT_EQ(1000u, log.LineCount());
    EXPECT_EQ("sor 1000", log.Line(999));
    EXPECT_EQ(0u, log.CaretPos().line);
    EXPECT_EQ(0u, log.TopLine());
    // Away from the end, new lines still leave the view where the user put it.
    log.SetCaretPos({500, 2});
    size_t top = log.TopLine();
    EXPECT_GT(top, 0u);
    Fill(10);
    EXPECT_EQ(1010u, log.LineCount());
    EXPECT_EQ(500u, log.CaretPos().line);
    EXPECT_EQ(2u, log.CaretPos().col);
    EXPECT_EQ(top, log.TopLine());
    // The scroll bar follows the new lines shortly after, by a timer.
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_POS;
    test::PumpUntil([&] {
        GetScrollInfo(log.Handle(), SB_VERT, &si);
        return si.nMax == 1009;
    });
    EXPECT_EQ(1009, si.nMax);
    EXPECT_EQ(static_cast<int>(top), si.nPos);
}

TEST_F(LogViewTest, PastTheLimitOldLinesLeaveFromTheTopAndTheViewStaysOnItsText) {
    log.SetMaxLines(100);
    Fill(100);
    log.SetCaretPos({60, 1});
    log.SetCaretPos({50, 3}, true);  // a selection from line 51 to 61
    size_t top = log.TopLine();
    ASSERT_GT(top, 5u);
    Fill(5);
    EXPECT_EQ(100u, log.LineCount());
    EXPECT_EQ(5u, log.DroppedLines());
    EXPECT_EQ("sor 6", log.Line(0));
    EXPECT_EQ("sor 105", log.Line(99));
    EXPECT_EQ(top - 5, log.TopLine());
    EXPECT_EQ(45u, log.CaretPos().line);
    EXPECT_EQ(" 51\r\nsor 52", log.SelectedText().substr(0, 11));
    // A caret on a line that leaves goes to the start of the first line.
    log.SetCaretPos({2, 2});
    Fill(3);
    EXPECT_EQ(0u, log.CaretPos().line);
    EXPECT_EQ(0u, log.CaretPos().col);
    EXPECT_EQ("sor 9", log.Line(0));
}

TEST_F(LogViewTest, TheMenuKeyOpensThePopupMenuWhoseCommandsReachTheTopLevelWindow) {
    Fill(3);
    MenuHandle menu(CreatePopupMenu());
    AppendMenuA(menu.get(), MF_STRING, 4712, "Naplófájl megnyitása");
    log.SetPopupMenu(menu.get());
    test::SharedHostWindow().lastCommand = 0;
    auto choose = test::ChooseFirstItemOfNextMenu();
    SendMessageA(log.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(log.Handle()), MAKELPARAM(-1, -1));
    test::Pump();
    EXPECT_EQ(4712, test::SharedHostWindow().lastCommand);
    log.SetPopupMenu(nullptr);
}

TEST_F(LogViewTest, KeysMoveTheCaretAndShiftSelects) {
    log.AppendLine("első sor");
    log.AppendLine("2");
    log.AppendLine("harmadik");
    SetFocus(log.Handle());
    test::PressKey(log.Handle(), VK_END);
    EXPECT_EQ(8u, log.CaretPos().col);
    test::PressKey(log.Handle(), VK_DOWN);  // the column is cut to the shorter line ...
    EXPECT_EQ(1u, log.CaretPos().line);
    EXPECT_EQ(1u, log.CaretPos().col);
    test::PressKey(log.Handle(), VK_DOWN);  // ... and comes back on a longer one
    EXPECT_EQ(8u, log.CaretPos().col);
    test::PressKey(log.Handle(), VK_HOME, true);
    test::PressKey(log.Handle(), VK_RIGHT);
    test::PressKey(log.Handle(), VK_DOWN, false, true);
    EXPECT_EQ("lső sor\r\n2", log.SelectedText());
    test::PressKey(log.Handle(), VK_END, true, true);
    EXPECT_EQ("lső sor\r\n2\r\nharmadik", log.SelectedText());
    test::PressKey(log.Handle(), VK_LEFT);  // a move without Shift drops the selection
    EXPECT_FALSE(log.HasSelection());
}

TEST_F(LogViewTest, CtrlAAndCtrlCCopyEverything) {
    Fill(3);
    SetFocus(log.Handle());
    test::PressKey(log.Handle(), 'A', true);
    test::PressKey(log.Handle(), 'C', true);
    EXPECT_EQ("sor 1\r\nsor 2\r\nsor 3", test::ClipboardText());
}

TEST_F(LogViewTest, MouseSelectsAndPagingScrolls) {
    Fill(300);
    int lineH = 0;
    {
        // One line's height: the caret of line 1 is one line below line 0's.
        log.SetCaretPos({1, 0});
        POINT p;
        SetFocus(log.Handle());
        GetCaretPos(&p);
        lineH = p.y;
    }
    ASSERT_GT(lineH, 0);
    test::Click(log.Handle(), Scale(300), lineH * 3 + 1);
    EXPECT_EQ(3u, log.CaretPos().line);
    EXPECT_EQ(log.Line(3).size(), log.CaretPos().col);  // right of the text: its end
    int page = log.VisibleLines();
    test::PressKey(log.Handle(), VK_NEXT);
    EXPECT_EQ(static_cast<size_t>(3 + page - 1), log.CaretPos().line);
    EXPECT_GT(log.TopLine(), 0u);
    SendMessageA(log.Handle(), WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(300u - page, log.TopLine());
    SendMessageA(log.Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_LT(log.TopLine(), 300u - page);
}

TEST_F(LogViewTest, CaretLineIsPaintedPaleYellow) {
    Fill(20);
    log.SetCaretPos({2, 0});
    std::string shot = test::Screenshot(host, "logview");
    WindowDC dc(log.Handle());
    POINT caret = {};
    SetFocus(log.Handle());
    GetCaretPos(&caret);
    RECT rc;
    GetClientRect(log.Handle(), &rc);
    int lineH = caret.y / 2;
    // Far right on the caret line no text stands: only its background.
    EXPECT_EQ(LogView::kCaretLineColor, GetPixel(dc.get(), rc.right - 5, caret.y + 2));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), GetPixel(dc.get(), rc.right - 5, caret.y + lineH + 2));
}

}  // namespace
}  // namespace pelvane
