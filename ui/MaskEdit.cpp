#include "ui/MaskEdit.h"

#include <commctrl.h>

#include "common/Text.h"
#include "ui/Application.h"
#include "ui/Clipboard.h"
#include "ui/Window.h"

namespace pelvane {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
    return IsCharAlphaA(c) != FALSE;
}

}  // namespace

EditMask::EditMask(const std::string& mask) {
    // The last two ';' fields are the save-literals flag and the blank.
    std::string format = mask;
    size_t semi = format.rfind(';');
    if (semi != std::string::npos) {
        size_t semi2 = semi ? format.rfind(';', semi - 1) : std::string::npos;
        if (semi2 != std::string::npos) {
            std::string blank = format.substr(semi + 1);
            if (!blank.empty()) blank_ = blank[0];
            saveLiterals_ = format.substr(semi2 + 1, semi - semi2 - 1) != "0";
            format.resize(semi2);
        } else {
            saveLiterals_ = format.substr(semi + 1) != "0";
            format.resize(semi);
        }
    }
    for (size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        switch (c) {
            case '>':
            case '<':
            case '!':
                break;
            case '\\':
                if (i + 1 < format.size()) slots_.push_back({0, format[++i]});
                break;
            case '0':
            case '9':
            case '#':
            case 'L':
            case 'l':
            case 'A':
            case 'a':
            case 'C':
            case 'c':
                slots_.push_back({c, 0});
                break;
            default:
                slots_.push_back({0, c});
        }
    }
}

bool EditMask::Accepts(size_t pos, char c) const {
    if (pos >= slots_.size()) return false;
    switch (slots_[pos].kind) {
        case '0':
        case '9':
            return IsDigit(c);
        case '#':
            return IsDigit(c) || c == '+' || c == '-';
        case 'L':
        case 'l':
            return IsLetter(c);
        case 'A':
        case 'a':
            return IsLetter(c) || IsDigit(c);
        case 'C':
        case 'c':
            return static_cast<unsigned char>(c) >= 32;
        default:
            return false;
    }
}

size_t EditMask::NextEditable(size_t pos) const {
    while (pos < slots_.size() && slots_[pos].kind == 0) ++pos;
    return pos;
}

std::string EditMask::Apply(const std::string& text) const {
    std::string out(slots_.size(), blank_);
    size_t src = 0;
    for (size_t pos = 0; pos < slots_.size(); ++pos) {
        if (slots_[pos].kind == 0) {
            out[pos] = slots_[pos].literal;
            if (saveLiterals_) ++src;  // the text carries the literals too
            continue;
        }
        if (src < text.size()) {
            char c = text[src++];
            if (Accepts(pos, c)) out[pos] = c;
        }
    }
    return out;
}

MaskEdit::~MaskEdit() {
    if (hwnd_) {
        RemoveWindowSubclass(hwnd_, SubclassProc, 0);
        DestroyWindow(hwnd_);
    }
}

void MaskEdit::Create(HWND parent, int id, int x, int y, int w, int h, DWORD exStyle) {
    hwnd_ = CreateChild(parent, "EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, x, y, w, h, id, exStyle);
    SetWindowSubclass(hwnd_, SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

void MaskEdit::SetText(const std::string& text) {
    SetWindowTextA(hwnd_, text.c_str());
}

std::string MaskEdit::Text() const {
    return RawText();
}

std::string MaskEdit::RawText() const {
    int n = GetWindowTextLengthA(hwnd_);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    n = GetWindowTextA(hwnd_, s.data(), n + 1);
    s.resize(static_cast<size_t>(n > 0 ? n : 0));
    return s;
}

void MaskEdit::SetEditMask(const std::string& mask) {
    mask_ = EditMask(mask);
    if (!mask_.Empty()) {
        SendMessageA(hwnd_, EM_LIMITTEXT, mask_.Length(), 0);
        PutRaw(mask_.Apply(RawText()), 0);
    } else {
        SendMessageA(hwnd_, EM_LIMITTEXT, 0, 0);
    }
}

void MaskEdit::SetMaxLength(int chars) {
    SendMessageA(hwnd_, EM_LIMITTEXT, static_cast<WPARAM>(chars), 0);
}

void MaskEdit::SetFocusColor(COLORREF color) {
    hasFocusColor_ = true;
    focusColor_ = color;
    focusBrush_.reset(CreateSolidBrush(color));
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void MaskEdit::Selection(size_t& from, size_t& to) const {
    DWORD start = 0, end = 0;
    SendMessageA(hwnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    from = start;
    to = end;
}

void MaskEdit::PutRaw(const std::string& text, size_t caret) {
    // The version 6 edit is a Unicode window: below the subclass, texts are wide.
    if (IsWindowUnicode(hwnd_)) {
        DefSubclassProc(hwnd_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(AnsiToWide(text).c_str()));
    } else {
        DefSubclassProc(hwnd_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendMessageA(hwnd_, EM_SETSEL, caret, caret);
    // The parent learns of the change as with typing.
    SendMessageA(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd_), EN_CHANGE),
                 reinterpret_cast<LPARAM>(hwnd_));
}

void MaskEdit::ClearRange(size_t from, size_t to) {
    std::string text = RawText();
    for (size_t i = from; i < to && i < text.size(); ++i)
        if (!mask_.IsLiteral(i)) text[i] = mask_.Blank();
    PutRaw(text, from);
}

void MaskEdit::TypeChar(char c, bool beep) {
    size_t from, to;
    Selection(from, to);
    std::string text = RawText();
    text.resize(mask_.Length(), mask_.Blank());
    for (size_t i = from; i < to && i < text.size(); ++i)
        if (!mask_.IsLiteral(i)) text[i] = mask_.Blank();
    size_t pos = mask_.NextEditable(from);
    if (pos >= mask_.Length() || !mask_.Accepts(pos, c)) {
        if (beep) MessageBeep(MB_OK);
        return;
    }
    text[pos] = c;
    PutRaw(text, mask_.NextEditable(pos + 1));
}

bool MaskEdit::CopySelection() const {
    size_t from, to;
    Selection(from, to);
    if (from >= to) return false;
    return SetClipboardText(hwnd_, RawText().substr(from, to - from));
}

HBRUSH MaskEdit::OnCtlColor(HDC dc) const {
    if (!hasFocusColor_ || !IsWindowEnabled(hwnd_)) return nullptr;
    if (GetFocus() == hwnd_) {
        SetBkColor(dc, focusColor_);
        return static_cast<HBRUSH>(focusBrush_.get());
    }
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return GetSysColorBrush(COLOR_WINDOW);
}

LRESULT MaskEdit::OnNcDestroy(WPARAM wp, LPARAM lp) {
    HWND wnd = hwnd_;
    RemoveWindowSubclass(wnd, SubclassProc, 0);
    hwnd_ = nullptr;
    return DefSubclassProc(wnd, WM_NCDESTROY, wp, lp);
}

LRESULT MaskEdit::OnSetText(WPARAM wp, LPARAM lp) {
    // The text is held as the mask shows it.
    if (IsWindowUnicode(hwnd_)) {
        const auto* wide = reinterpret_cast<const wchar_t*>(lp);
        std::wstring masked = AnsiToWide(mask_.Apply(wide ? WideToAnsi(wide) : std::string()));
        return DefSubclassProc(hwnd_, WM_SETTEXT, wp, reinterpret_cast<LPARAM>(masked.c_str()));
    }
    std::string masked = mask_.Apply(lp ? reinterpret_cast<const char*>(lp) : "");
    return DefSubclassProc(hwnd_, WM_SETTEXT, wp, reinterpret_cast<LPARAM>(masked.c_str()));
}

bool MaskEdit::ReadOnly() const {
    return (GetWindowLongA(hwnd_, GWL_STYLE) & ES_READONLY) != 0;
}

bool MaskEdit::OnChar(char c) {
    if (c == '\b') {
        size_t from, to;
        Selection(from, to);
        if (from < to) {
            ClearRange(from, to);
        } else {
            while (from > 0 && mask_.IsLiteral(from - 1)) --from;
            if (from > 0) ClearRange(from - 1, from);
        }
        return true;
    }
    if (static_cast<unsigned char>(c) < 32) return false;  // Ctrl+C, Ctrl+V and friends
    if (!ReadOnly()) TypeChar(c, true);
    return true;
}

bool MaskEdit::OnKeyDown(WPARAM key) {
    if (key != VK_DELETE || ReadOnly()) return false;
    size_t from, to;
    Selection(from, to);
    ClearRange(from, from < to ? to : from + 1);
    return true;
}

void MaskEdit::OnClear() {
    size_t from, to;
    Selection(from, to);
    ClearRange(from, to);
}

void MaskEdit::OnCut() {
    if (CopySelection()) OnClear();
}

void MaskEdit::OnPaste() {
    // Characters that fit nowhere are left out rather than beeped at.
    for (char c : ClipboardText(hwnd_))
        if (static_cast<unsigned char>(c) >= 32) TypeChar(c, false);
}

LRESULT MaskEdit::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_REFLECT_CTLCOLOR:
            if (HBRUSH brush = OnCtlColor(reinterpret_cast<HDC>(wp))) return reinterpret_cast<LRESULT>(brush);
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(hwnd_, nullptr, TRUE);  // the focus colour comes or goes
            break;
        case WM_NCDESTROY:
            return OnNcDestroy(wp, lp);
        case WM_CONTEXTMENU: {
            // The edit's own menu runs a loop of its own, which lets the
            // timers through: no scheduled run may start under it.
            Application::ModalScope modal;
            return DefSubclassProc(hwnd_, msg, wp, lp);
        }
    }
    if (mask_.Empty()) return DefSubclassProc(hwnd_, msg, wp, lp);
    return MaskedMessage(msg, wp, lp);
}

LRESULT MaskEdit::MaskedMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SETTEXT:
            return OnSetText(wp, lp);
        case WM_CHAR:
            if (OnChar(static_cast<char>(wp))) return 0;
            break;
        case WM_KEYDOWN:
            if (OnKeyDown(wp)) return 0;
            break;
        case WM_CLEAR:
            OnClear();
            return 0;
        case WM_CUT:
            OnCut();
            return 0;
        case WM_PASTE:
            OnPaste();
            return 0;
        case EM_CANUNDO:
        case EM_UNDO:
        case WM_UNDO:
            return 0;  // masked changes replace the text; there is nothing to undo
    }
    return DefSubclassProc(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK MaskEdit::SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                        DWORD_PTR data) noexcept {
    auto* self = reinterpret_cast<MaskEdit*>(data);
    if (!self || !self->hwnd_) return DefSubclassProc(wnd, msg, wp, lp);
    return Application::Guarded("masked edit", LRESULT{0}, [&] { return self->HandleMessage(msg, wp, lp); });
}

}  // namespace pelvane
