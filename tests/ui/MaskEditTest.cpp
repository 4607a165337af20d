#include "ui/MaskEdit.h"

#include <gtest/gtest.h>

#include "tests/ui/UiTestSupport.h"

namespace pelvane {
namespace {

TEST(EditMask, MinutesMaskKeepsFourPositionsWithBlanks) {
    EditMask mask("9999;1; ");
    EXPECT_EQ(4u, mask.Length());
    EXPECT_EQ(' ', mask.Blank());
    EXPECT_EQ("60  ", mask.Apply("60"));
    EXPECT_EQ("    ", mask.Apply(""));
    EXPECT_EQ("1234", mask.Apply("123456"));
    EXPECT_EQ(" 1 2", mask.Apply("x1 2"));  // what is no digit becomes a blank
    EXPECT_EQ("6 0 ", mask.Apply("6 0"));
}

TEST(EditMask, LiteralsAndDefaults) {
    EditMask date("99/99;1;_");
    EXPECT_EQ("12/3_", date.Apply("12/3"));
    EXPECT_TRUE(date.IsLiteral(2));
    EditMask noSave("99-99;0;_");
    EXPECT_EQ("12-34", noSave.Apply("1234"));
    EXPECT_TRUE(EditMask("").Empty());
    EXPECT_EQ('_', EditMask("999").Blank());
}

class MaskEditTest : public ::testing::Test {
  protected:
    void SetUp() override {
        edit.Create(host, 1, 10, 10, 120, 22);
        other = CreateWindowExA(0, "BUTTON", "x", WS_CHILD | WS_VISIBLE, 10, 50, 60, 24, host, nullptr,
                                nullptr, nullptr);
    }
    void TearDown() override { DestroyWindow(other); }
    HWND host = test::SharedHost();
    MaskEdit edit;
    HWND other = nullptr;
};

TEST_F(MaskEditTest, MaskAppliedToTextAlreadyThere) {
    edit.SetText("60");
    edit.SetEditMask("9999;1; ");
    EXPECT_EQ("60  ", edit.Text());
    edit.SetText("7");  // later texts pass through the mask too
    EXPECT_EQ("7   ", edit.Text());
}

TEST_F(MaskEditTest, TypingFillsDigitPositionsAndRefusesOthers) {
    edit.SetText("60");
    edit.SetEditMask("9999;1; ");
    SetFocus(edit.Handle());
    SendMessageA(edit.Handle(), EM_SETSEL, 0, -1);
    test::Type(edit.Handle(), "1a5");
    EXPECT_EQ("15  ", edit.Text());
    test::Type(edit.Handle(), "999");  // the fifth digit has no place
    EXPECT_EQ("1599", edit.Text());
    SendMessageA(edit.Handle(), EM_SETSEL, 4, 4);
    test::PressKey(edit.Handle(), VK_BACK);
    EXPECT_EQ("159 ", edit.Text());
    SendMessageA(edit.Handle(), EM_SETSEL, 0, 0);
    test::PressKey(edit.Handle(), VK_DELETE);
    EXPECT_EQ(" 59 ", edit.Text());
    test::Screenshot(host, "maskedit");
}

TEST_F(MaskEditTest, EmptyMaskIsFreeText) {
    edit.SetText(".tmp;.temp");
    edit.SetEditMask("");
    EXPECT_EQ(".tmp;.temp", edit.Text());
    SetFocus(edit.Handle());
    SendMessageA(edit.Handle(), EM_SETSEL, 0, -1);
    test::Type(edit.Handle(), "a b");
    EXPECT_EQ("a b", edit.Text());
}

TEST_F(MaskEditTest, FocusColourOnlyWhileFocused) {
    edit.SetFocusColor(15780518);
    WindowDC dc(edit.Handle());
    SetFocus(edit.Handle());
    SendMessageA(host, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc.get()),
                 reinterpret_cast<LPARAM>(edit.Handle()));
    EXPECT_EQ(static_cast<COLORREF>(15780518), GetBkColor(dc.get()));
    SetFocus(other);
    SendMessageA(host, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc.get()),
                 reinterpret_cast<LPARAM>(edit.Handle()));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), GetBkColor(dc.get()));
}

}  // namespace
}  // namespace pelvane
