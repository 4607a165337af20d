#include "ui/InputDialog.h"

#include <gtest/gtest.h>

#include <functional>

#include "common/Seged.h"
#include "common/Text.h"
#include "settings/FormPos.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/ErrorBox.h"

namespace pelvane {
namespace {

RECT g_shownAt;  // where the dialog was when the action ran

// Shows the prompt; action runs once the modal dialog is up, from a timer
// that the dialog's own message loop delivers.
bool Ask(const std::string& mask, std::string& text, const std::function<void()>& action) {
    auto whileShown = test::WhenIdle([&] {
        if (!InputDialog::Shown()) return false;
        GetWindowRect(InputDialog::Shown()->Handle(), &g_shownAt);
        action();
        return true;
    });
    return InputStr("Kizárt file-típusok", "Pontosvessző határolt, pl. \".tmp;.temp\"", mask, text);
}

void Press(UINT vk) {
    // Posted, so that it goes through the dialog's loop as a real key would.
    HWND focus = GetFocus();
    PostMessageA(focus, WM_KEYDOWN, vk, 1);
}

class InputDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ini = WideToAnsi(AppDir()) + "\\Pelvane.ini";
        WritePrivateProfileStringA("frm_InpStr", nullptr, nullptr, ini.c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
    }
    int Stored(const char* key) {
        return static_cast<int>(GetPrivateProfileIntA("frm_InpStr", key, -99999, ini.c_str()));
    }
    std::string ini;
};

TEST_F(InputDialogTest, FirstUseOpensAtTenTenAndStoresThePosition) {
    std::string text = ".tmp;.temp";
    RECT client = {};
    std::string caption, label;
    bool editFocused = false;
    EXPECT_FALSE(Ask("", text, [&] {
        HWND dlg = InputDialog::Shown()->Handle();
        GetClientRect(dlg, &client);
        char buf[200];
        GetWindowTextA(dlg, buf, sizeof buf);
        caption = buf;
        GetWindowTextA(InputDialog::Shown()->Label1(), buf, sizeof buf);
        label = buf;
        editFocused = GetFocus() == InputDialog::Shown()->Edit1().Handle();
        test::Screenshot(dlg, "inputdialog");
        Press(VK_ESCAPE);
    }));
    EXPECT_EQ(".tmp;.temp", text);
    EXPECT_EQ(10, g_shownAt.left);
    EXPECT_EQ(10, g_shownAt.top);
    EXPECT_EQ(Scale(253), client.right);
    EXPECT_EQ(Scale(113), client.bottom);
    EXPECT_EQ("Kizárt file-típusok", caption);
    EXPECT_EQ("Pontosvessző határolt, pl. \".tmp;.temp\"", label);
    EXPECT_TRUE(editFocused);
    EXPECT_EQ(10, Stored("Left"));
    EXPECT_EQ(10, Stored("Top"));
    EXPECT_EQ(nullptr, InputDialog::Shown());
}

TEST_F(InputDialogTest, MovedThenCancelledIsRememberedForTheNextCall) {
    std::string text = "x";
    EXPECT_FALSE(Ask("", text, [] {
        SetWindowPos(InputDialog::Shown()->Handle(), nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        SendMessageA(InputDialog::Shown()->Button2(), BM_CLICK, 0, 0);
    }));
    EXPECT_EQ(200, Stored("Left"));
    EXPECT_EQ(150, Stored("Top"));
    EXPECT_FALSE(Ask("", text, [] { PostMessageA(InputDialog::Shown()->Handle(), WM_CLOSE, 0, 0); }));
    EXPECT_EQ(200, g_shownAt.left);
    EXPECT_EQ(150, g_shownAt.top);
}

TEST_F(InputDialogTest, OffScreenPositionIsUsedUnchanged) {
    SaveFormPos("frm_InpStr", -3000, 5000);
    std::string text;
    Ask("", text, [] { Press(VK_ESCAPE); });
    EXPECT_EQ(-3000, g_shownAt.left);
    EXPECT_EQ(5000, g_shownAt.top);
}

TEST_F(InputDialogTest, EnterConfirmsEscCancels) {
    std::string text = ".tmp;.temp";
    EXPECT_TRUE(Ask("", text, [] { Press(VK_RETURN); }));
    EXPECT_EQ(".tmp;.temp", text);
    EXPECT_FALSE(Ask("", text, [] {
        SetWindowTextA(InputDialog::Shown()->Edit1().Handle(), ".bak");
        Press(VK_ESCAPE);
    }));
    EXPECT_EQ(".tmp;.temp", text);
    EXPECT_TRUE(Ask("", text, [] {
        SetWindowTextA(InputDialog::Shown()->Edit1().Handle(), "");
        SendMessageA(InputDialog::Shown()->Button1(), BM_CLICK, 0, 0);
    }));
    EXPECT_EQ("", text);  // an empty list is a valid answer
}

TEST_F(InputDialogTest, MaskIsAppliedToTheGivenText) {
    std::string text = "60";
    COLORREF focusedBack = 0;
    EXPECT_TRUE(Ask("9999;1; ", text, [&] {
        HWND edit = InputDialog::Shown()->Edit1().Handle();
        WindowDC dc(edit);
        SendMessageA(InputDialog::Shown()->Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc.get()),
                     reinterpret_cast<LPARAM>(edit));
        focusedBack = GetBkColor(dc.get());
        Press(VK_RETURN);
    }));
    EXPECT_EQ("60  ", text);
    EXPECT_EQ(InputDialog::kEditFocusColor, focusedBack);
}

// The error box: one MessageBoxA with "Hiba", the error icon and OK.
TEST(ErrorBox, ShowsTextWithHibaCaptionModalToOwner) {
    HWND owner = test::SharedHost();
    std::string seenText, seenCaption;
    HWND seenOwner = nullptr;
    auto idle = test::WhenIdle([&] {
        auto boxes = test::OpenBoxes();
        if (boxes.empty()) return false;
        seenCaption = boxes[0].caption;
        seenText = boxes[0].text;
        seenOwner = GetWindow(boxes[0].wnd, GW_OWNER);
        test::Screenshot(boxes[0].wnd, "errorbox");
        PostMessageA(boxes[0].wnd, WM_COMMAND, IDOK, 0);
        return true;
    });
    ShowError("Nincs végrehajtható feladat", owner);
    EXPECT_EQ("Hiba", seenCaption);
    EXPECT_EQ("Nincs végrehajtható feladat", seenText);
    EXPECT_EQ(owner, seenOwner);
}

}  // namespace
}  // namespace pelvane
