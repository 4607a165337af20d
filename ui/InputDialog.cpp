#include "ui/InputDialog.h"

#include <memory>

#include "common/Seged.h"
#include "settings/FormPos.h"
#include "ui/Application.h"

namespace pelvane {

namespace {

constexpr char kClassName[] = "PelvaneInpStr";
constexpr int kEdit1 = 100;

}  // namespace

InputDialog::InputDialog() {
    RegisterClassOnce(kClassName, 0, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    font_ = MakeFont("MS Sans Serif", -11, DEFAULT_CHARSET);
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    RECT rc = {0, 0, Scale(253), Scale(113)};
    AdjustWindowRectEx(&rc, style, FALSE, exStyle);
    CreateWnd(exStyle, kClassName, "", style, 10, 10, rc.right - rc.left, rc.bottom - rc.top,
              GetActiveWindow(), nullptr);
    HWND self = Handle();
    // Creation order is the tab order: the edit field first.
    edit_.Create(self, kEdit1, Scale(16), Scale(28), Scale(221), Scale(21));
    edit_.SetFocusColor(kEditFocusColor);
    ok_ = CreateChild96(self, "BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 68, 72, 75, 25, IDOK);
    cancel_ = CreateChild96(self, "BUTTON", "Mégsem", WS_TABSTOP | BS_PUSHBUTTON, 156, 72, 75, 25, IDCANCEL);
    label_ = CreateChild96(self, "STATIC", "", SS_LEFTNOWORDWRAP | SS_NOPREFIX, 16, 12, 0, 13, -1);
    for (HWND child : {edit_.Handle(), ok_, cancel_, label_})
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
}

InputDialog::~InputDialog() {
    // The controls go while their font still exists.
    if (Handle()) DestroyWindow(Handle());
}

void InputDialog::SetCaption(const std::string& caption) {
    SetWindowTextA(Handle(), caption.c_str());
}

void InputDialog::SetPrompt(const std::string& prompt) {
    SetWindowTextA(label_, prompt.c_str());
    // The label is as large as its text.
    SIZE size = {0, 0};
    TEXTMETRICA tm;
    {
        WindowDC dc(label_);
        SelectedObject font(dc.get(), font_.get());
        GetTextExtentPoint32A(dc.get(), prompt.c_str(), static_cast<int>(prompt.size()), &size);
        GetTextMetricsA(dc.get(), &tm);
    }
    SetWindowPos(label_, nullptr, 0, 0, size.cx, tm.tmHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void InputDialog::FormShow() {
    int left = 10, top = 10;
    LoadFormPos(kFormName, left, top, settingsFile_);
    // Used as stored, even off the screen.
    SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void InputDialog::FormClose() {
    RECT rc;
    GetWindowRect(Handle(), &rc);
    SaveFormPos(kFormName, rc.left, rc.top, settingsFile_);
}

InputDialog::Result InputDialog::ShowModal() {
    result_ = None;
    done_ = false;
    FormShow();
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    SetFocus(edit_.Handle());
    SendMessageA(edit_.Handle(), EM_SETSEL, 0, -1);
    Application::RunModal(Handle(), done_);
    if (result_ == None) result_ = Cancel;  // the window went away without closing
    return result_;
}

void InputDialog::CloseWith(Result result) {
    if (done_) return;
    // The position is stored whichever way the dialog closes; a failing
    // settings file must not keep the dialog open.
    try {
        FormClose();
    } catch (const std::exception& e) {
        Application::HandleException(e);
    }
    result_ = result;
    done_ = true;
    // Not hidden here: the loop first enables the other windows again, so
    // that the owner gets the activation back when the dialog goes.
}

LRESULT InputDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
            if (LOWORD(wp) == IDOK && HIWORD(wp) == BN_CLICKED) CloseWith(OK);
            if (LOWORD(wp) == IDCANCEL && HIWORD(wp) == BN_CLICKED) CloseWith(Cancel);
            return 0;
        case DM_GETDEFID:
            return MAKELONG(IDOK, DC_HASDEFID);
        case WM_CLOSE:
            CloseWith(Cancel);
            return 0;
    }
    return Window::HandleMessage(msg, wp, lp);
}

InputDialog* InputDialog::Shown() {
    for (HWND wnd = nullptr; (wnd = FindWindowExA(nullptr, wnd, kClassName, nullptr)) != nullptr;)
        if (GetWindowThreadProcessId(wnd, nullptr) == GetCurrentThreadId())
            return static_cast<InputDialog*>(FromHandle(wnd));
    return nullptr;
}

bool InputStr(const std::string& caption, const std::string& prompt, const std::string& mask,
              std::string& text, const std::wstring& settingsFile) {
    auto dialog = std::make_unique<InputDialog>();
    dialog->SetSettingsFile(settingsFile);
    dialog->SetCaption(caption);
    dialog->SetPrompt(prompt);
    // Text first, mask second: the mask is applied to the text given.
    dialog->Edit1().SetText(text);
    dialog->Edit1().SetEditMask(mask);
    bool ok = dialog->ShowModal() == InputDialog::OK;
    if (ok) text = dialog->Edit1().Text();
    return ok;
}

}  // namespace pelvane
