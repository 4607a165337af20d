#include "ui/LogView.h"

#include <windowsx.h>

#include <algorithm>

#include "ui/Clipboard.h"

namespace pelvane {
namespace {

constexpr char kClassName[] = "PelvaneLogView";
constexpr UINT_PTR kDragTimer = 1;
constexpr UINT_PTR kScrollTimer = 2;

int Digits(size_t n) {
    int d = 1;
    while (n >= 10) {
        n /= 10;
        ++d;
    }
    return d;
}

bool IsWordChar(char c) {
    return c != ' ' && c != '\t';
}

}  // namespace

void LogView::Create(HWND parent, int id, int x, int y, int w, int h) {
    RegisterClassOnce(kClassName, CS_DBLCLKS, LoadCursor(nullptr, IDC_IBEAM), nullptr);
    // Fixed pitch asked for too: where Courier New is missing the stand-in
    // must still give every column the same width.
    font_ = MakeFont("Courier New", -11, DEFAULT_CHARSET, FIXED_PITCH | FF_MODERN);
    MeasureFont();
    CreateWnd(WS_EX_CLIENTEDGE, kClassName, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL,
              x, y, w, h, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
    gutterDigits_ = Digits(1);
    UpdateScrollBars();
}

void LogView::MeasureFont() {
    WindowDC dc(nullptr);
    SelectedObject font(dc.get(), font_.get());
    TEXTMETRICA tm;
    GetTextMetricsA(dc.get(), &tm);
    SIZE size;
    // Courier New is fixed-pitch: one width serves every column.
    GetTextExtentPoint32A(dc.get(), "W", 1, &size);
    charW_ = std::max<int>(1, size.cx);
    lineH_ = std::max<int>(1, tm.tmHeight);
}

int LogView::GutterWidth() const {
    return (gutterDigits_ + 1) * charW_ + Scale(8);
}

int LogView::VisibleLines() const {
    RECT rc;
    GetClientRect(Handle(), &rc);
    return std::max(1, static_cast<int>(rc.bottom / lineH_));
}

void LogView::AppendLine(const std::string& line) {
    if (lines_.size() >= maxLines_) DropFirstLine();
    lines_.push_back(line);
    longest_ = std::max(longest_, line.size());
    size_t index = lines_.size() - 1;
    int digits = Digits(dropped_ + lines_.size());
    if (digits != gutterDigits_) {
        // The gutter grew: every row moves right, so repaint all (rare).
        gutterDigits_ = digits;
        InvalidateRect(Handle(), nullptr, FALSE);
        PlaceCaret();
    } else {
        InvalidateLines(index, index);
    }
    // The scroll bar follows within a tenth of a second: one update for a
    // burst of lines, and at most ten a second while a run logs file by file.
    if (!scrollPending_ && Handle()) {
        scrollPending_ = true;
        SetTimer(Handle(), kScrollTimer, 100, nullptr);
    }
}

void LogView::DropFirstLine() {
    lines_.pop_front();
    ++dropped_;
    // Whatever pointed at a line keeps pointing at the same text.
    auto up = [](Pos& p) {
        if (p.line > 0) {
            --p.line;
        } else {
            p.col = 0;
        }
    };
    up(caret_);
    up(anchor_);
    if (top_ > 0) {
        --top_;
    } else if (Handle()) {
        InvalidateRect(Handle(), nullptr, FALSE);  // the first visible line went
    }
    PlaceCaret();
}

void LogView::InvalidateLines(size_t from, size_t to) {
    if (!Handle()) return;
    size_t visible = static_cast<size_t>(VisibleLines()) + 1;
    if (to < top_ || from >= top_ + visible) return;
    from = std::max(from, top_);
    to = std::min(to, top_ + visible);
    RECT rc;
    GetClientRect(Handle(), &rc);
    rc.top = static_cast<int>(from - top_) * lineH_;
    rc.bottom = static_cast<int>(to - top_ + 1) * lineH_;
    InvalidateRect(Handle(), &rc, FALSE);
}

void LogView::UpdateScrollBars() {
    scrollPending_ = false;
    RECT rc;
    GetClientRect(Handle(), &rc);
    // Setting a scroll bar repaints it, which is slow under some systems: a
    // bar is only touched when its figures changed.
    auto set = [this](int bar, int max, int page, int pos, int(&last)[3]) {
        if (last[0] == max && last[1] == page && last[2] == pos) return;
        last[0] = max;
        last[1] = page;
        last[2] = pos;
        SCROLLINFO si = {};
        si.cbSize = sizeof si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
        si.nMax = max;
        si.nPage = static_cast<UINT>(page);
        si.nPos = pos;
        SetScrollInfo(Handle(), bar, &si, TRUE);
    };
    set(SB_VERT, lines_.empty() ? 0 : static_cast<int>(lines_.size() - 1), VisibleLines(),
        static_cast<int>(top_), lastV_);
    int textW = std::max<int>(0, rc.right - GutterWidth());
    set(SB_HORZ, static_cast<int>(longest_), std::max(1, textW / charW_), left_, lastH_);
}

LogView::Pos LogView::Clamp(Pos p) const {
    if (lines_.empty()) return {};
    p.line = std::min(p.line, lines_.size() - 1);
    p.col = std::min(p.col, lines_[p.line].size());
    return p;
}

LogView::Pos LogView::HitTest(int x, int y) const {
    Pos p;
    long long line = static_cast<long long>(top_) + (y >= 0 ? y / lineH_ : -1 + y / lineH_);
    p.line = static_cast<size_t>(std::max(0LL, line));
    int cx = x - GutterWidth();
    long long col = left_ + (cx >= 0 ? (cx + charW_ / 2) / charW_ : -1);
    p.col = static_cast<size_t>(std::max(0LL, col));
    return Clamp(p);
}

void LogView::SetCaretPos(Pos pos, bool extendSelection) {
    pos = Clamp(pos);
    Pos oldLo = std::min(anchor_, caret_), oldHi = std::max(anchor_, caret_);
    caret_ = pos;
    if (!extendSelection) anchor_ = pos;
    Pos lo = std::min(anchor_, caret_), hi = std::max(anchor_, caret_);
    // Repaint the old and new caret lines and selection rows; only the
    // visible part of that span costs anything.
    InvalidateLines(std::min(oldLo.line, lo.line), std::max(oldHi.line, hi.line));
    EnsureCaretVisible();
    PlaceCaret();
}

void LogView::SelectAll() {
    if (lines_.empty()) return;
    Pos end{lines_.size() - 1, lines_.back().size()};
    anchor_ = {};
    caret_ = end;
    InvalidateRect(Handle(), nullptr, FALSE);
    EnsureCaretVisible();
    PlaceCaret();
}

std::string LogView::SelectedText() const {
    Pos lo = std::min(anchor_, caret_), hi = std::max(anchor_, caret_);
    std::string out;
    if (lines_.empty() || lo == hi) return out;
    for (size_t l = lo.line; l <= hi.line; ++l) {
        const std::string& s = lines_[l];
        size_t from = l == lo.line ? lo.col : 0;
        size_t to = l == hi.line ? hi.col : s.size();
        out.append(s, std::min(from, s.size()), to > from ? to - from : 0);
        if (l != hi.line) out += "\r\n";
    }
    return out;
}

void LogView::CopyToClipboard() const {
    std::string text = SelectedText();
    if (!text.empty()) SetClipboardText(Handle(), text);
}

void LogView::ScrollTo(size_t top, int left) {
    size_t visible = static_cast<size_t>(VisibleLines());
    size_t maxTop = lines_.size() > visible ? lines_.size() - visible : 0;
    top = std::min(top, maxTop);
    RECT rc;
    GetClientRect(Handle(), &rc);
    int cols = std::max(1, static_cast<int>((rc.right - GutterWidth()) / charW_));
    int maxLeft = std::max(0, static_cast<int>(longest_) + 1 - cols);
    left = std::max(0, std::min(left, maxLeft));
    if (top == top_ && left == left_) return;
    if (left == left_) {
        int dy = (static_cast<int>(top_) - static_cast<int>(top)) * lineH_;
        top_ = top;
        ScrollWindowEx(Handle(), 0, dy, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
    } else {
        top_ = top;
        left_ = left;
        InvalidateRect(Handle(), nullptr, FALSE);
    }
    UpdateScrollBars();
    PlaceCaret();
}

void LogView::EnsureCaretVisible() {
    if (!Handle()) return;
    size_t visible = static_cast<size_t>(VisibleLines());
    size_t top = top_;
    if (caret_.line < top) top = caret_.line;
    if (caret_.line >= top + visible) top = caret_.line - visible + 1;
    RECT rc;
    GetClientRect(Handle(), &rc);
    int cols = std::max(1, static_cast<int>((rc.right - GutterWidth()) / charW_));
    int left = left_;
    if (static_cast<int>(caret_.col) < left) left = static_cast<int>(caret_.col);
    if (static_cast<int>(caret_.col) >= left + cols) left = static_cast<int>(caret_.col) - cols + 1;
    ScrollTo(top, left);
}

void LogView::PlaceCaret() {
    if (!Handle() || GetFocus() != Handle()) return;
    int x = GutterWidth() + (static_cast<int>(caret_.col) - left_) * charW_;
    long long row = static_cast<long long>(caret_.line) - static_cast<long long>(top_);
    if (row < 0 || row > VisibleLines() || x < GutterWidth()) x = -10000;  // out of view: park it
    ::SetCaretPos(x, static_cast<int>(row) * lineH_);
}

void LogView::PaintLine(HDC dc, size_t line, int y, const RECT& client) {
    int gw = GutterWidth();
    RECT gutter = {0, y, gw, y + lineH_};
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    if (line < lines_.size()) {
        std::string num = std::to_string(dropped_ + line + 1);
        int x = gw - Scale(6) - static_cast<int>(num.size()) * charW_;
        ExtTextOutA(dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &gutter, num.c_str(), static_cast<UINT>(num.size()),
                    nullptr);
    } else {
        ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &gutter, "", 0, nullptr);
    }
    RECT text = {gw, y, client.right, y + lineH_};
    COLORREF back = line == caret_.line ? kCaretLineColor : GetSysColor(COLOR_WINDOW);
    SetBkColor(dc, back);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &text, "", 0, nullptr);
    if (line >= lines_.size()) return;

    const std::string& s = lines_[line];
    size_t first = static_cast<size_t>(left_);
    size_t cols = static_cast<size_t>((client.right - gw) / charW_ + 2);
    Pos lo = std::min(anchor_, caret_), hi = std::max(anchor_, caret_);
    size_t selFrom = 0, selTo = 0;  // selected columns of this line
    if (lo != hi && line >= lo.line && line <= hi.line) {
        selFrom = line == lo.line ? lo.col : 0;
        selTo = line == hi.line ? hi.col : s.size() + 1;  // a whole line shows its line break too
    }
    auto segment = [&](size_t from, size_t to, bool selected) {
        from = std::max(from, first);
        to = std::min(to, first + cols);
        if (from >= to) return;
        RECT cell = {gw + static_cast<int>(from - first) * charW_, y,
                     gw + static_cast<int>(to - first) * charW_, y + lineH_};
        IntersectRect(&cell, &cell, &text);
        SetBkColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHT) : back);
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        size_t n = from < s.size() ? std::min(to, s.size()) - from : 0;
        ExtTextOutA(dc, gw + static_cast<int>(from - first) * charW_, y, ETO_OPAQUE | ETO_CLIPPED, &cell,
                    n ? s.data() + from : "", static_cast<UINT>(n), nullptr);
    };
    segment(0, selFrom, false);
    segment(selFrom, selTo, true);
    segment(selTo, s.size(), false);
}

void LogView::OnPaint() {
    PaintDC dc(Handle());
    RECT client;
    GetClientRect(Handle(), &client);
    SelectedObject font(dc.get(), font_.get());
    int firstRow = dc.Area().top / lineH_;
    int lastRow = (dc.Area().bottom + lineH_ - 1) / lineH_;
    for (int row = firstRow; row < lastRow; ++row) PaintLine(dc.get(), top_ + row, row * lineH_, client);
}

size_t LogView::LineLength(size_t line) const {
    return lines_.empty() ? 0 : lines_[line].size();
}

bool LogView::OnCtrlKey(WPARAM key) {
    switch (key) {
        case 'A':
            SelectAll();
            return true;
        case 'C':
        case VK_INSERT:
            CopyToClipboard();
            return true;
        case VK_UP:  // Ctrl+Up and Ctrl+Down scroll and leave the caret
            ScrollTo(top_ > 0 ? top_ - 1 : 0, left_);
            return true;
        case VK_DOWN:
            ScrollTo(top_ + 1, left_);
            return true;
    }
    return false;
}

bool LogView::CaretKeyTarget(WPARAM key, bool ctrl, Pos& p, bool& keepCol) {
    size_t page = static_cast<size_t>(std::max(1, VisibleLines() - 1));
    size_t last = lines_.empty() ? 0 : lines_.size() - 1;
    keepCol = key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT;
    switch (key) {
        case VK_LEFT:
            if (p.col > 0)
                --p.col;
            else if (p.line > 0)
                p = {p.line - 1, LineLength(p.line - 1)};
            return true;
        case VK_RIGHT:
            if (p.col < LineLength(p.line))
                ++p.col;
            else if (p.line < last)
                p = {p.line + 1, 0};
            return true;
        case VK_UP:
            p.line = p.line > 0 ? p.line - 1 : 0;
            return true;
        case VK_DOWN:
            p.line = std::min(p.line + 1, last);
            return true;
        case VK_PRIOR:
            p.line = p.line > page ? p.line - page : 0;
            ScrollTo(top_ > page ? top_ - page : 0, left_);
            return true;
        case VK_NEXT:
            p.line = std::min(p.line + page, last);
            ScrollTo(top_ + page, left_);
            return true;
        case VK_HOME:
            p = ctrl ? Pos{} : Pos{p.line, 0};
            return true;
        case VK_END:
            p = ctrl ? Pos{last, LineLength(last)} : Pos{p.line, LineLength(p.line)};
            return true;
    }
    return false;
}

void LogView::OnKeyDown(WPARAM key) {
    bool shift = GetKeyState(VK_SHIFT) < 0;
    bool ctrl = GetKeyState(VK_CONTROL) < 0;
    if (ctrl && OnCtrlKey(key)) return;
    Pos p = caret_;
    bool keepCol = false;
    if (!CaretKeyTarget(key, ctrl, p, keepCol)) return;
    if (keepCol) p.col = std::min(wantCol_, LineLength(p.line));
    SetCaretPos(p, shift);
    if (!keepCol) wantCol_ = caret_.col;
}

void LogView::OnMouseDown(int x, int y, bool shift) {
    SetFocus(Handle());
    SetCaretPos(HitTest(x, y), shift);
    wantCol_ = caret_.col;
    dragging_ = true;
    SetCapture(Handle());
    SetTimer(Handle(), kDragTimer, 50, nullptr);
}

void LogView::OnMouseMove(int x, int y) {
    if (!dragging_) return;
    RECT rc;
    GetClientRect(Handle(), &rc);
    // Beyond the edges the view follows the mouse, one line per move or tick.
    if (y < 0 && top_ > 0) ScrollTo(top_ - 1, left_);
    if (y >= rc.bottom) ScrollTo(top_ + 1, left_);
    SetCaretPos(HitTest(x, std::max(-1, std::min(y, static_cast<int>(rc.bottom)))), true);
    wantCol_ = caret_.col;
}

void LogView::OnVScroll(int code) {
    int top = static_cast<int>(top_);
    if (!ScrollRequest(Handle(), SB_VERT, code, 1, VisibleLines(), static_cast<int>(lines_.size()), top))
        return;
    ScrollTo(static_cast<size_t>(std::max(0, top)), left_);
}

void LogView::OnHScroll(int code) {
    RECT rc;
    GetClientRect(Handle(), &rc);
    int page = std::max(1, static_cast<int>((rc.right - GutterWidth()) / charW_));
    int left = left_;
    if (!ScrollRequest(Handle(), SB_HORZ, code, 1, page, static_cast<int>(longest_), left)) return;
    ScrollTo(top_, left);
}

void LogView::OnContextMenu(LPARAM lp) {
    POINT pt = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    if (pt.x == -1 && pt.y == -1) {  // from the keyboard: under the caret
        long long row = static_cast<long long>(caret_.line) - static_cast<long long>(top_);
        pt.x = GutterWidth() + std::max(0, static_cast<int>(caret_.col) - left_) * charW_;
        pt.y = static_cast<int>(std::max(0LL, std::min<long long>(row, VisibleLines())) + 1) * lineH_;
        ClientToScreen(Handle(), &pt);
    }
    TrackPopupMenu(popup_, TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0, GetAncestor(Handle(), GA_ROOT),
                   nullptr);
}

void LogView::OnSize() {
    UpdateScrollBars();
    ScrollTo(top_, left_);
    InvalidateRect(Handle(), nullptr, FALSE);
}

void LogView::OnSetFocus() {
    CreateCaret(Handle(), nullptr, std::max(1, Scale(2)), lineH_);
    PlaceCaret();
    ShowCaret(Handle());
}

void LogView::OnDblClick(int x, int y) {
    // A double-click selects the word under the mouse.
    Pos p = HitTest(x, y);
    if (lines_.empty()) return;
    const std::string& s = lines_[p.line];
    size_t from = p.col, to = p.col;
    while (from > 0 && IsWordChar(s[from - 1])) --from;
    while (to < s.size() && IsWordChar(s[to])) ++to;
    SetCaretPos({p.line, from});
    SetCaretPos({p.line, to}, true);
}

void LogView::OnTimer(UINT_PTR id) {
    if (id == kScrollTimer) {
        KillTimer(Handle(), kScrollTimer);
        if (scrollPending_) UpdateScrollBars();
    }
    if (id == kDragTimer && dragging_) {
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(Handle(), &pt);
        RECT rc;
        GetClientRect(Handle(), &rc);
        if (pt.y < 0 || pt.y >= rc.bottom) OnMouseMove(pt.x, pt.y);
    }
}

void LogView::OnMouseUp(bool captureLost) {
    if (!dragging_) return;
    dragging_ = false;
    KillTimer(Handle(), kDragTimer);
    if (!captureLost) ReleaseCapture();
}

void LogView::OnMouseWheel(int delta) {
    int notches = delta / WHEEL_DELTA;
    UINT perNotch = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &perNotch, 0);
    long long top = static_cast<long long>(top_) - static_cast<long long>(notches) * perNotch;
    ScrollTo(static_cast<size_t>(std::max(0LL, top)), left_);
}

LRESULT LogView::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CONTEXTMENU:
            if (!popup_) break;
            OnContextMenu(lp);
            return 0;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SIZE:
            OnSize();
            return 0;
        case WM_SETFOCUS:
            OnSetFocus();
            return 0;
        case WM_KILLFOCUS:
            DestroyCaret();
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_KEYDOWN:
            OnKeyDown(wp);
            return 0;
        case WM_COPY:
            CopyToClipboard();
            return 0;
        case WM_TIMER:
            OnTimer(wp);
            return 0;
        case WM_LBUTTONDOWN:
            OnMouseDown(GET_X_LPARAM(lp), GET_Y_LPARAM(lp), (wp & MK_SHIFT) != 0);
            return 0;
        case WM_LBUTTONDBLCLK:
            OnDblClick(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            return 0;
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED:
            OnMouseUp(msg == WM_CAPTURECHANGED);
            return 0;
        case WM_MOUSEWHEEL:
            OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wp));
            return 0;
    }
    return Window::HandleMessage(msg, wp, lp);
}

}  // namespace pelvane
