#include "ui/DataGrid.h"

#include <commctrl.h>
#include <vssym32.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

#include "common/Text.h"
#include "ui/Application.h"

namespace pelvane {
namespace {

constexpr char kClassName[] = "PelvaneDataGrid";
constexpr COLORREF kLineColor = RGB(192, 192, 192);

int ButtonWidth() {
    return GetSystemMetrics(SM_CXVSCROLL);
}

void Fill(HDC dc, const RECT& rc, COLORREF color) {
    SetBkColor(dc, color);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rc, "", 0, nullptr);
}

// Keys the grid takes from its editor as characters too: the edit must not
// beep at them.
bool IsGridChar(WPARAM ch) {
    return ch == '\t' || ch == '\r' || ch == '\n' || ch == 27;
}

}  // namespace

DataGrid::~DataGrid() {
    if (ds_) ds_->RemoveObserver(this);
    // The editor's messages reach this object: it goes first, while the
    // object is whole.
    if (editor_) {
        HWND editor = editor_;
        RemoveWindowSubclass(editor, EditorProc, 0);
        editor_ = nullptr;
        DestroyWindow(editor);
    }
}

void DataGrid::Create(HWND parent, int id, int x, int y, int w, int h) {
    RegisterClassOnce(kClassName, CS_DBLCLKS, nullptr, nullptr);
    titleFont_ = MakeFont("Tahoma", -11, EASTEUROPE_CHARSET);
    font_ = reinterpret_cast<HFONT>(SendMessageA(parent, WM_GETFONT, 0, 0));
    if (!font_) font_ = static_cast<HFONT>(titleFont_.get());
    indicatorW_ = Scale(11);
    CreateWnd(WS_EX_CLIENTEDGE, kClassName, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL,
              x, y, w, h, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
    editor_ = CreateWindowExA(0, "EDIT", "", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 0, 0, Handle(), nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    SetWindowSubclass(editor_, EditorProc, 0, reinterpret_cast<DWORD_PTR>(this));
    SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    OpenThemes();
    UpdateScrollBars();
}

void DataGrid::OpenThemes() {
    CloseThemes();
    if (IsAppThemed() && IsThemeActive()) {
        header_.reset(OpenThemeData(Handle(), L"HEADER"));
        button_.reset(OpenThemeData(Handle(), L"BUTTON"));
    }
}

void DataGrid::CloseThemes() {
    header_.reset();
    button_.reset();
}

void DataGrid::SetDataSet(TDataSet* dataSet) {
    if (ds_) ds_->RemoveObserver(this);
    ds_ = dataSet;
    if (ds_) ds_->AddObserver(this);
    DataSetChanged();
}

void DataGrid::SetColumns(const std::vector<Column>& columns) {
    columns_ = columns;
    widths_.clear();
    for (const Column& c : columns_) widths_.push_back(Scale(c.width96));
    col_ = std::min(col_, std::max(0, static_cast<int>(columns_.size()) - 1));
    DataSetChanged();
}

void DataGrid::SetColumnWidth(int col, int px) {
    widths_.at(static_cast<size_t>(col)) = std::max(Scale(4), px);
    Repaint();
    UpdateScrollBars();
    UpdateEditor();
}

void DataGrid::SetSelectedIndex(int col) {
    if (columns_.empty()) return;
    col_ = std::max(0, std::min(col, static_cast<int>(columns_.size()) - 1));
    // The whole column must come into view.
    int left = ColumnLeft(col_) + scrollX_, right = left + widths_[col_];
    RECT rc;
    GetClientRect(Handle(), &rc);
    int fixed = indicatorW_ + 1;
    if (right - scrollX_ > rc.right) scrollX_ = std::min<int>(left - fixed, right - rc.right);
    if (left - scrollX_ < fixed) scrollX_ = left - fixed;
    scrollX_ = std::max(0, scrollX_);
    Repaint();
    UpdateScrollBars();
    LoadEditorText();
    UpdateEditor();
}

std::string DataGrid::SelectedField() const {
    return columns_.empty() ? std::string() : columns_[static_cast<size_t>(col_)].field;
}

int DataGrid::DisplayRows() const {
    if (!ds_ || !ds_->Active()) return 0;
    // An empty table still shows one blank row to type into.
    return std::max(1, ds_->RowCount());
}

int DataGrid::CurrentRow() const {
    if (!ds_ || !ds_->Active()) return -1;
    return std::max(0, ds_->ActiveRow());
}

int DataGrid::VisibleRowCount() const {
    RECT rc;
    GetClientRect(Handle(), &rc);
    return std::max(1, static_cast<int>((rc.bottom - rowH_ - 1) / (rowH_ + 1)));
}

int DataGrid::ColumnLeft(int col) const {
    int x = indicatorW_ + 1 - scrollX_;
    for (int i = 0; i < col; ++i) x += widths_[i] + 1;
    return x;
}

int DataGrid::TotalWidth() const {
    int x = indicatorW_ + 1;
    for (int w : widths_) x += w + 1;
    return x;
}

RECT DataGrid::CellRect(int row, int col) const {
    int y = rowH_ + 1 + (row - top_) * (rowH_ + 1);
    int x = ColumnLeft(col);
    return RECT{x, y, x + widths_[col], y + rowH_};
}

RECT DataGrid::TitleRect(int col) const {
    int x = ColumnLeft(col);
    return RECT{x, 0, x + widths_[col], rowH_};
}

RECT DataGrid::EditButtonRect() const {
    RECT cell = CellRect(CurrentRow(), col_);
    if (!columns_[col_].ellipsis) return RECT{cell.right, cell.top, cell.right, cell.bottom};
    return RECT{cell.right - ButtonWidth(), cell.top, cell.right, cell.bottom};
}

DataGrid::HitInfo DataGrid::HitTest(int x, int y) const {
    HitInfo hit;
    if (columns_.empty()) return hit;
    int col = -1;
    for (int i = 0; i < static_cast<int>(columns_.size()); ++i) {
        int left = ColumnLeft(i);
        if (x >= left && x < left + widths_[i] + 1) col = i;
    }
    if (y < rowH_ + 1) {
        // Within a few pixels of a column's right edge the title resizes it.
        for (int i = 0; i < static_cast<int>(columns_.size()); ++i) {
            int edge = ColumnLeft(i) + widths_[i];
            if (x >= edge - Scale(3) && x <= edge + Scale(3) && edge > indicatorW_)
                return {Hit::Resize, -1, i};
        }
        return {col >= 0 ? Hit::Title : Hit::None, -1, col};
    }
    int row = top_ + (y - rowH_ - 1) / (rowH_ + 1);
    if (row >= DisplayRows()) return {Hit::Empty, -1, col};
    if (x < indicatorW_ + 1) return {Hit::Indicator, row, -1};
    if (col < 0) return {Hit::Empty, row, -1};
    if (row == CurrentRow() && col == col_ && EditorVisible()) {
        RECT b = EditButtonRect();
        POINT pt = {x, y};
        if (PtInRect(&b, pt)) return {Hit::Button, row, col};
    }
    return {Hit::Cell, row, col};
}

bool DataGrid::HasField() const {
    return ds_ && ds_->Active() && !columns_.empty() && ds_->FieldIndex(columns_[col_].field) >= 0;
}

bool DataGrid::CanEdit() const {
    return HasField() && IsWindowEnabled(Handle());
}

void DataGrid::LoadEditorText() {
    if (!editor_ || writing_) return;
    // The stored value also while the grid is disabled (a run moves the rows
    // under it): the editor must never come back with a text of its own.
    std::string text;
    if (HasField() && ds_->RowCount() > 0) text = ds_->FieldText(columns_[col_].field);
    char current[1024] = {};
    GetWindowTextA(editor_, current, sizeof current);
    if (text == current) return;
    loadingText_ = true;
    SetWindowTextA(editor_, text.c_str());
    SendMessageA(editor_, EM_SETSEL, 0, -1);
    loadingText_ = false;
}

void DataGrid::UpdateEditor() {
    if (!editor_) return;
    HWND focus = GetFocus();
    bool focused = focus == Handle() || focus == editor_;
    int row = CurrentRow();
    bool show = focused && CanEdit() && row >= top_ && row < top_ + VisibleRowCount();
    if (!show) {
        if (IsWindowVisible(editor_)) {
            ShowWindow(editor_, SW_HIDE);
            Repaint();
        }
        if (focus == editor_) SetFocus(Handle());
        return;
    }
    RECT cell = CellRect(row, col_);
    RECT button = EditButtonRect();
    int fieldIndex = ds_->FieldIndex(columns_[col_].field);
    int size = ds_->Fields()[static_cast<size_t>(fieldIndex)].size;
    SendMessageA(editor_, EM_LIMITTEXT, size > 0 ? static_cast<WPARAM>(size) : 0, 0);
    RECT old;
    GetWindowRect(editor_, &old);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&old), 2);
    int pad = Scale(2);
    RECT place = {cell.left + pad, cell.top + pad, button.left, cell.bottom};
    if (!EqualRect(&old, &place) || !IsWindowVisible(editor_)) {
        SetWindowPos(editor_, HWND_TOP, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_SHOWWINDOW | SWP_NOACTIVATE);
        // A text loaded while the editor was narrower stays scrolled to its
        // end; bring its start back into view and keep the selection.
        DWORD from = 0, to = 0;
        SendMessageA(editor_, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
        SendMessageA(editor_, EM_SETSEL, 0, 0);
        SendMessageA(editor_, EM_SETSEL, from, to);
        InvalidateRect(Handle(), &old, FALSE);
        InvalidateRect(Handle(), &cell, FALSE);
    }
    if (focus == Handle()) SetFocus(editor_);
}

void DataGrid::MakeCurrentVisible() {
    int row = CurrentRow();
    if (row < 0) return;
    int visible = VisibleRowCount();
    if (row < top_) top_ = row;
    if (row >= top_ + visible) top_ = row - visible + 1;
    top_ = std::max(0, std::min(top_, std::max(0, DisplayRows() - visible)));
}

void DataGrid::UpdateScrollBars() {
    if (!Handle()) return;
    RECT rc;
    GetClientRect(Handle(), &rc);
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMax = std::max(0, DisplayRows() - 1);
    si.nPage = static_cast<UINT>(VisibleRowCount());
    si.nPos = top_;
    SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
    si.nMax = TotalWidth() - 1;
    si.nPage = static_cast<UINT>(std::max<LONG>(1, rc.right));
    si.nPos = scrollX_;
    SetScrollInfo(Handle(), SB_HORZ, &si, TRUE);
}

void DataGrid::DataSetChanged() {
    if (!Handle()) return;
    MakeCurrentVisible();
    UpdateScrollBars();
    Repaint();
    LoadEditorText();
    UpdateEditor();
}

void DataGrid::RecordChanged() {
    if (!Handle()) return;
    Repaint();
    LoadEditorText();
}

void DataGrid::StateChanged() {
    if (!Handle()) return;
    Repaint();
}

void DataGrid::Scrolled() {
    DataSetChanged();
}

void DataGrid::DrawHeaderCell(HDC dc, const RECT& rc, int state, const std::string& text, bool indicator) {
    if (header_) {
        DrawThemeBackground(header_.get(), dc, HP_HEADERITEM, state, &rc, nullptr);
    } else {
        Fill(dc, rc, GetSysColor(COLOR_BTNFACE));
        RECT edge = rc;
        DrawEdge(dc, &edge, state == HIS_PRESSED ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
    if (indicator || text.empty()) return;
    RECT tr = rc;
    tr.left += Scale(2);
    tr.right -= Scale(2);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    {
        SelectedObject font(dc, titleFont_.get());
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &tr,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    SetBkMode(dc, OPAQUE);
}

void DataGrid::DrawIndicator(HDC dc, const RECT& rc, int row) {
    DrawHeaderCell(dc, rc, HIS_NORMAL, {}, true);
    if (row != CurrentRow()) return;
    DataSetState state = ds_->State();
    int cx = (rc.left + rc.right) / 2, cy = (rc.top + rc.bottom) / 2;
    int s = std::max(2, Scale(4));
    SelectedObject brush(dc, GetStockObject(BLACK_BRUSH));
    SelectedObject pen(dc, GetStockObject(BLACK_PEN));
    if (state == DataSetState::Insert) {
        // An asterisk: a new row.
        MoveToEx(dc, cx - s + 1, cy, nullptr);
        LineTo(dc, cx + s, cy);
        MoveToEx(dc, cx, cy - s + 1, nullptr);
        LineTo(dc, cx, cy + s);
        MoveToEx(dc, cx - s + 2, cy - s + 2, nullptr);
        LineTo(dc, cx + s - 1, cy + s - 1);
        MoveToEx(dc, cx + s - 2, cy - s + 2, nullptr);
        LineTo(dc, cx - s + 1, cy + s - 1);
    } else if (state == DataSetState::Edit) {
        // An I-beam: the row is being edited.
        MoveToEx(dc, cx, cy - s - 1, nullptr);
        LineTo(dc, cx, cy + s + 1);
        MoveToEx(dc, cx - 2, cy - s - 1, nullptr);
        LineTo(dc, cx + 3, cy - s - 1);
        MoveToEx(dc, cx - 2, cy + s + 1, nullptr);
        LineTo(dc, cx + 3, cy + s + 1);
    } else {
        POINT arrow[3] = {{cx - s / 2, cy - s}, {cx - s / 2, cy + s}, {cx + s / 2 + 1, cy}};
        Polygon(dc, arrow, 3);
    }
}

void DataGrid::DrawEditButton(HDC dc) {
    RECT b = EditButtonRect();
    if (b.right <= b.left) return;
    if (button_) {
        DrawThemeBackground(button_.get(), dc, BP_PUSHBUTTON, buttonPressed_ ? PBS_PRESSED : PBS_NORMAL, &b,
                            nullptr);
    } else {
        DrawFrameControl(dc, &b, DFC_BUTTON, DFCS_BUTTONPUSH | (buttonPressed_ ? DFCS_PUSHED : 0));
    }
    // Three dots, as an ellipsis button shows them.
    int cx = (b.left + b.right) / 2 + (buttonPressed_ ? 1 : 0),
        cy = (b.top + b.bottom) / 2 + (buttonPressed_ ? 1 : 0);
    int d = std::max(1, Scale(2)), gap = std::max(3, Scale(4));
    for (int i = -1; i <= 1; ++i) {
        RECT dot = {cx + i * gap - d / 2, cy - d / 2, cx + i * gap - d / 2 + d, cy - d / 2 + d};
        Fill(dc, dot, GetSysColor(IsWindowEnabled(Handle()) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    }
}

std::string DataGrid::TitleText(int col) const {
    const Column& column = columns_[static_cast<size_t>(col)];
    if (!column.title.empty() || !ds_) return column.title;
    int f = ds_->FieldIndex(column.field);
    return f >= 0 ? ds_->Fields()[static_cast<size_t>(f)].DisplayName() : column.field;
}

void DataGrid::DrawTitleRow(HDC dc) {
    DrawHeaderCell(dc, RECT{0, 0, indicatorW_, rowH_}, HIS_NORMAL, {}, true);
    for (int c = 0; c < static_cast<int>(columns_.size()); ++c) {
        RECT rc = TitleRect(c);
        if (rc.right < indicatorW_) continue;
        int state = c == pressedTitle_ ? HIS_PRESSED : c == hotTitle_ ? HIS_HOT : HIS_NORMAL;
        // A title scrolled under the indicator column is cut at its edge.
        RECT clipped = rc;
        clipped.left = std::max<LONG>(rc.left, indicatorW_ + 1);
        GdiObject clip(CreateRectRgnIndirect(&clipped));
        SelectClipRgn(dc, static_cast<HRGN>(clip.get()));
        DrawHeaderCell(dc, rc, state, TitleText(c), false);
        SelectClipRgn(dc, nullptr);
    }
}

void DataGrid::DrawDataRows(HDC dc) {
    int ncols = static_cast<int>(columns_.size());
    int rows = DisplayRows();
    int visible = VisibleRowCount() + 1;
    bool enabled = IsWindowEnabled(Handle()) != FALSE;
    for (int r = top_; r < rows && r < top_ + visible; ++r) {
        RECT ind = {0, rowH_ + 1 + (r - top_) * (rowH_ + 1), indicatorW_, 0};
        ind.bottom = ind.top + rowH_;
        DrawIndicator(dc, ind, r);
        for (int c = 0; c < ncols; ++c) {
            RECT rc = CellRect(r, c);
            RECT clipped = rc;
            clipped.left = std::max<LONG>(rc.left, indicatorW_ + 1);
            if (clipped.right <= clipped.left) continue;
            std::string text;
            if (ds_ && ds_->RowCount() > 0) {
                int f = ds_->FieldIndex(columns_[c].field);
                if (f >= 0) text = ds_->FieldTextAt(r, f);
            }
            SetBkColor(dc, GetSysColor(COLOR_WINDOW));
            SetTextColor(dc, GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
            ExtTextOutA(dc, rc.left + Scale(2), rc.top + Scale(2), ETO_OPAQUE | ETO_CLIPPED, &clipped,
                        text.c_str(), static_cast<UINT>(text.size()), nullptr);
        }
    }
}

void DataGrid::DrawLines(HDC dc) {
    RECT client;
    GetClientRect(Handle(), &client);
    int ncols = static_cast<int>(columns_.size());
    int rows = DisplayRows();
    int visible = VisibleRowCount() + 1;
    int right = std::min<int>(client.right, ColumnLeft(ncols));
    int bottom = rowH_ + 1 + (std::min(rows, top_ + visible) - top_) * (rowH_ + 1);
    GdiObject pen(CreatePen(PS_SOLID, 1, kLineColor));
    SelectedObject selected(dc, pen.get());
    for (int c = 0; c <= ncols; ++c) {
        int x = (c == 0 ? indicatorW_ : ColumnLeft(c) - 1);
        if (c > 0 && x < indicatorW_) continue;
        MoveToEx(dc, x, 0, nullptr);
        LineTo(dc, x, bottom);
    }
    for (int r = 0; r <= std::min(rows - top_, visible); ++r) {
        int y = rowH_ + r * (rowH_ + 1);
        MoveToEx(dc, 0, y, nullptr);
        LineTo(dc, right, y);
    }
}

void DataGrid::Paint(HDC dc, const RECT& area) {
    RECT client;
    GetClientRect(Handle(), &client);
    // Paint into a memory bitmap: cells, lines and headers would flicker otherwise.
    MemoryDC mem(CreateCompatibleDC(dc));
    GdiObject bitmap(
        CreateCompatibleBitmap(dc, std::max<LONG>(1, client.right), std::max<LONG>(1, client.bottom)));
    SelectedObject selectedBitmap(mem.get(), bitmap.get());
    SelectedObject selectedFont(mem.get(), font_);
    Fill(mem.get(), client, GetSysColor(COLOR_WINDOW));
    DrawTitleRow(mem.get());
    DrawDataRows(mem.get());
    DrawLines(mem.get());
    if (EditorVisible()) DrawEditButton(mem.get());
    BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, mem.get(), area.left,
           area.top, SRCCOPY);
}

void DataGrid::OnPaint() {
    PaintDC dc(Handle());
    Paint(dc.get(), dc.Area());
}

void DataGrid::OnPrintClient(HDC dc) {
    RECT rc;
    GetClientRect(Handle(), &rc);
    Paint(dc, rc);
}

void DataGrid::MoveToRow(int row) {
    if (!ds_ || !ds_->Active()) return;
    if (ds_->RowCount() == 0) return;
    row = std::max(0, std::min(row, ds_->RowCount() - 1));
    ds_->MoveTo(row);
    DataSetChanged();
}

void DataGrid::KeyDown() {
    if (!ds_ || !ds_->Active()) return;
    DataSetState state = ds_->State();
    // A new row that is still unchanged stays where it is.
    if (state == DataSetState::Insert && !ds_->Modified()) return;
    int row = ds_->ActiveRow();
    if (ds_->RowCount() == 0 || row >= ds_->RowCount() - 1) {
        ds_->Append();  // stores a changed row first
    } else {
        ds_->MoveTo(row + 1);
    }
    DataSetChanged();
}

void DataGrid::KeyUp() {
    if (!ds_ || !ds_->Active()) return;
    if (ds_->State() == DataSetState::Insert && !ds_->Modified() && ds_->ActiveRow() == ds_->RowCount() - 1) {
        ds_->Cancel();  // an unchanged new last row goes away
    } else if (ds_->ActiveRow() > 0) {
        ds_->MoveTo(ds_->ActiveRow() - 1);
    }
    DataSetChanged();
}

void DataGrid::MoveColumn(int delta, bool wrap) {
    int ncols = static_cast<int>(columns_.size());
    if (ncols == 0) return;
    int col = col_ + delta;
    if (col >= 0 && col < ncols) {
        SetSelectedIndex(col);
        return;
    }
    if (!wrap) return;
    // Past the last cell Tab goes on to the next row, as Down does.
    if (col >= ncols) {
        DataSetState before = ds_ ? ds_->State() : DataSetState::Inactive;
        int row = CurrentRow();
        KeyDown();
        if (ds_ && (CurrentRow() != row || ds_->State() != before)) SetSelectedIndex(0);
    } else {
        int row = CurrentRow();
        KeyUp();
        if (ds_ && CurrentRow() != row) SetSelectedIndex(ncols - 1);
    }
}

void DataGrid::EditButtonClick() {
    if (OnEditButtonClick) OnEditButtonClick();
}

bool DataGrid::OnKeyDown(WPARAM key) {
    bool ctrl = GetKeyState(VK_CONTROL) < 0;
    bool shift = GetKeyState(VK_SHIFT) < 0;
    if (!ds_ || !ds_->Active()) return false;
    switch (key) {
        case VK_DOWN:
            KeyDown();
            return true;
        case VK_UP:
            KeyUp();
            return true;
        case VK_PRIOR:
            MoveToRow(CurrentRow() - VisibleRowCount());
            return true;
        case VK_NEXT:
            MoveToRow(CurrentRow() + VisibleRowCount());
            return true;
        case VK_HOME:
        case VK_END:
            if (!ctrl) return false;  // the editor's own caret keys
            MoveToRow(key == VK_HOME ? 0 : ds_->RowCount() - 1);
            return true;
        case VK_TAB:
            MoveColumn(shift ? -1 : 1, true);
            return true;
        case VK_INSERT:
            if (ctrl || shift) return false;  // copy and paste in the editor
            ds_->Insert();
            DataSetChanged();
            return true;
        case VK_ESCAPE:
            ds_->Cancel();
            LoadEditorText();
            DataSetChanged();
            return true;
        case VK_RETURN:
            if (ctrl) {
                EditButtonClick();
            } else {
                SendMessageA(editor_, EM_SETSEL, 0, -1);
            }
            return true;
    }
    return false;
}

void DataGrid::OnEditorChange() {
    if (loadingText_ || !CanEdit()) return;
    char buf[1024] = {};
    GetWindowTextA(editor_, buf, sizeof buf);
    std::string text = buf;
    std::string field = columns_[col_].field;
    writing_ = true;
    try {
        if (ds_->State() == DataSetState::Browse) ds_->Edit();  // an empty table starts a new row
        ds_->SetFieldText(field, text);
    } catch (...) {
        writing_ = false;
        throw;
    }
    writing_ = false;
    UpdateEditor();
}

void DataGrid::OnFocusLeft(HWND newFocus) {
    if (newFocus == Handle() || newFocus == editor_) return;
    // Only a move to another control of the same window counts as leaving
    // the grid; a dialog or another program taking the focus does not.
    const bool left = newFocus && GetAncestor(newFocus, GA_ROOT) == GetAncestor(Handle(), GA_ROOT);
    if (left && ds_ && ds_->Active() && ds_->State() == DataSetState::Insert && !ds_->Modified())
        ds_->Cancel();
    UpdateEditor();
    Repaint();
    if (left && OnExit) OnExit();
}

void DataGrid::OnMouseDown(int x, int y, bool dbl) {
    HitInfo hit = HitTest(x, y);
    if (hit.what == Hit::Resize) {
        resizeCol_ = hit.col;
        resizeStartX_ = x;
        resizeStartW_ = widths_[hit.col];
        SetCapture(Handle());
        return;
    }
    if (GetFocus() != Handle() && GetFocus() != editor_) SetFocus(Handle());
    if (hit.what == Hit::Title) {
        pressedTitle_ = hit.col;
        SetCapture(Handle());
        Repaint();
        if (dbl) DblClick();  // anywhere in the grid
        return;
    }
    if (hit.what == Hit::Button) {
        buttonDown_ = buttonPressed_ = true;
        SetCapture(Handle());
        Repaint();
        return;
    }
    if (hit.what == Hit::Cell || hit.what == Hit::Indicator) {
        if (hit.row != CurrentRow() && ds_ && ds_->RowCount() > 0) MoveToRow(hit.row);
        if (hit.col >= 0 && hit.col != col_) SetSelectedIndex(hit.col);
    }
    UpdateEditor();
    if (dbl) DblClick();
}

void DataGrid::OnMouseMove(int x, int y) {
    if (resizeCol_ >= 0) {
        SetColumnWidth(resizeCol_, resizeStartW_ + x - resizeStartX_);
        return;
    }
    if (buttonDown_) {
        RECT b = EditButtonRect();
        POINT pt = {x, y};
        bool inside = PtInRect(&b, pt) != FALSE;
        if (inside != buttonPressed_) {
            buttonPressed_ = inside;
            InvalidateRect(Handle(), &b, FALSE);
        }
        return;
    }
    HitInfo hit = HitTest(x, y);
    int hot = hit.what == Hit::Title ? hit.col : -1;
    if (hot != hotTitle_) {
        hotTitle_ = hot;
        Repaint();
    }
    if (!tracking_) {
        TRACKMOUSEEVENT tme = {sizeof tme, TME_LEAVE, Handle(), 0};
        tracking_ = TrackMouseEvent(&tme) != FALSE;
    }
}

void DataGrid::OnMouseUp() {
    // Releasing the capture sends WM_CAPTURECHANGED, which clears the drag
    // state: read it first.
    bool click = buttonDown_ && buttonPressed_;
    bool repaint = pressedTitle_ >= 0 || buttonDown_;
    resizeCol_ = -1;
    pressedTitle_ = -1;
    buttonDown_ = buttonPressed_ = false;
    if (GetCapture() == Handle()) ReleaseCapture();
    if (repaint) Repaint();
    if (click) EditButtonClick();
}

void DataGrid::OnVScroll(int code) {
    int visible = VisibleRowCount();
    int top = top_;
    if (!ScrollRequest(Handle(), SB_VERT, code, 1, visible, DisplayRows(), top)) return;
    top_ = std::max(0, std::min(top, DisplayRows() - visible));
    UpdateScrollBars();
    Repaint();
    UpdateEditor();
}

void DataGrid::OnHScroll(int code) {
    RECT rc;
    GetClientRect(Handle(), &rc);
    int x = scrollX_;
    if (!ScrollRequest(Handle(), SB_HORZ, code, Scale(16), rc.right, TotalWidth(), x)) return;
    scrollX_ = std::max(0, std::min(x, TotalWidth() - static_cast<int>(rc.right)));
    UpdateScrollBars();
    Repaint();
    UpdateEditor();
}

void DataGrid::DblClick() {
    if (OnDblClick) OnDblClick();
}

void DataGrid::Repaint() {
    InvalidateRect(Handle(), nullptr, FALSE);
}

void DataGrid::OnSetFont(HFONT font) {
    font_ = font;
    TEXTMETRICA tm;
    {
        WindowDC dc(Handle());
        SelectedObject selected(dc.get(), font_);
        GetTextMetricsA(dc.get(), &tm);
    }
    rowH_ = tm.tmHeight + Scale(4);
    if (editor_) SendMessageA(editor_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    DataSetChanged();
}

void DataGrid::OnSize() {
    MakeCurrentVisible();
    UpdateScrollBars();
    UpdateEditor();
    Repaint();
}

void DataGrid::OnThemeChanged() {
    OpenThemes();
    Repaint();
}

void DataGrid::OnEnable() {
    LoadEditorText();
    UpdateEditor();
    Repaint();
}

void DataGrid::OnSetFocus() {
    UpdateEditor();
    Repaint();
}

void DataGrid::OnChar(WPARAM ch, LPARAM lp) {
    // Typing while the editor is hidden starts in the editor.
    if (ch < 32 || !CanEdit()) return;
    MakeCurrentVisible();
    UpdateScrollBars();
    Repaint();
    UpdateEditor();
    if (EditorVisible()) {
        SetFocus(editor_);
        SendMessageA(editor_, WM_CHAR, ch, lp);
    }
}

void DataGrid::OnCommand(WPARAM wp, LPARAM lp) {
    if (reinterpret_cast<HWND>(lp) == editor_ && HIWORD(wp) == EN_CHANGE) OnEditorChange();
}

void DataGrid::OnButtonDown(UINT msg, LPARAM lp) {
    POINT at = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    ClientToScreen(Handle(), &at);
    // A double-click of the grid's own is over: no second click to wait for.
    lastClick_ = {msg == WM_LBUTTONDOWN, GetMessageTime(), at};
    OnMouseDown(GET_X_LPARAM(lp), GET_Y_LPARAM(lp), msg == WM_LBUTTONDBLCLK);
}

void DataGrid::OnMouseLeave() {
    tracking_ = false;
    if (hotTitle_ < 0) return;
    hotTitle_ = -1;
    Repaint();
}

void DataGrid::OnCaptureChanged() {
    resizeCol_ = -1;
    pressedTitle_ = -1;
    buttonDown_ = buttonPressed_ = false;
}

bool DataGrid::OnSetCursor(LPARAM lp) {
    if (LOWORD(lp) != HTCLIENT) return false;
    POINT pt;
    GetCursorPos(&pt);
    ScreenToClient(Handle(), &pt);
    bool resize = resizeCol_ >= 0 || HitTest(pt.x, pt.y).what == Hit::Resize;
    SetCursor(LoadCursor(nullptr, resize ? IDC_SIZEWE : IDC_ARROW));
    return true;
}

void DataGrid::OnContextMenu(LPARAM lp) {
    POINT pt = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    if (pt.x == -1 && pt.y == -1) {  // from the keyboard: at the current cell
        RECT cell = CellRect(CurrentRow(), col_);
        pt = {cell.left, cell.bottom};
        ClientToScreen(Handle(), &pt);
    }
    TrackPopupMenu(popup_, TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0,
                   popupTarget_ ? popupTarget_ : GetAncestor(Handle(), GA_ROOT), nullptr);
}

bool DataGrid::SecondClick(HWND editor, LPARAM lp) const {
    POINT pt = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    ClientToScreen(editor, &pt);
    return lastClick_.pending &&
           static_cast<DWORD>(GetMessageTime() - lastClick_.time) <= GetDoubleClickTime() &&
           std::abs(pt.x - lastClick_.at.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
           std::abs(pt.y - lastClick_.at.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
}

bool DataGrid::OnEditorButtonDown(HWND editor, LPARAM lp) {
    if (!SecondClick(editor, lp)) return false;
    lastClick_.pending = false;
    DblClick();
    return true;
}

bool DataGrid::OnEditorKeyDown(HWND editor, WPARAM key) {
    if (key != VK_LEFT && key != VK_RIGHT) return OnKeyDown(key);
    // At the edge of the text the arrows go on to the next cell.
    DWORD from = 0, to = 0;
    SendMessageA(editor, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    int len = GetWindowTextLengthA(editor);
    bool atEdge = (key == VK_LEFT && to == 0) || (key == VK_RIGHT && from == static_cast<DWORD>(len));
    if (GetKeyState(VK_SHIFT) < 0 || !atEdge) return false;
    MoveColumn(key == VK_LEFT ? -1 : 1, false);
    return true;
}

LRESULT DataGrid::EditorMessage(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS | DLGC_HASSETSEL;
        case WM_KEYDOWN:
            if (OnEditorKeyDown(wnd, wp)) return 0;
            break;
        case WM_CHAR:
            if (IsGridChar(wp)) return 0;
            break;
        case WM_MOUSEWHEEL:
            SendMessageA(Handle(), msg, wp, lp);
            return 0;
        case WM_LBUTTONDOWN:
            if (OnEditorButtonDown(wnd, lp)) return 0;
            break;
        case WM_LBUTTONDBLCLK:
            DblClick();
            return 0;
        case WM_CONTEXTMENU: {
            // Ours, or the edit's own, which like any menu runs a loop that
            // lets the timers through.
            Application::ModalScope modal;
            if (!popup_) return DefSubclassProc(wnd, msg, wp, lp);
            SendMessageA(Handle(), msg, wp, lp);
            return 0;
        }
        case WM_KILLFOCUS:
            OnFocusLeft(reinterpret_cast<HWND>(wp));
            break;
    }
    return DefSubclassProc(wnd, msg, wp, lp);
}

LRESULT CALLBACK DataGrid::EditorProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                      DWORD_PTR data) noexcept {
    auto* self = reinterpret_cast<DataGrid*>(data);
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(wnd, EditorProc, 0);
        if (self) self->editor_ = nullptr;
        return DefSubclassProc(wnd, msg, wp, lp);
    }
    // Same policy as the window base: show it, abandon the handler.
    return Application::Guarded("grid editor", LRESULT{0},
                                [&] { return self->EditorMessage(wnd, msg, wp, lp); });
}

LRESULT DataGrid::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_PRINTCLIENT:
            OnPrintClient(reinterpret_cast<HDC>(wp));
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SETFONT:
            OnSetFont(reinterpret_cast<HFONT>(wp));
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font_);
        case WM_SIZE:
            OnSize();
            return 0;
        case WM_THEMECHANGED:
            OnThemeChanged();
            return 0;
        case WM_ENABLE:
            OnEnable();
            return 0;
        case WM_SETFOCUS:
            OnSetFocus();
            return 0;
        case WM_KILLFOCUS:
            OnFocusLeft(reinterpret_cast<HWND>(wp));
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
        case WM_KEYDOWN:
            if (OnKeyDown(wp)) return 0;
            break;
        case WM_CHAR:
            OnChar(wp, lp);
            return 0;
        case WM_COMMAND:
            OnCommand(wp, lp);
            return 0;
        case WM_DESTROY:
            CloseThemes();
            break;
        default:
            return MouseMessage(msg, wp, lp);
    }
    return Window::HandleMessage(msg, wp, lp);
}

LRESULT DataGrid::MouseMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            OnButtonDown(msg, lp);
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            return 0;
        case WM_MOUSELEAVE:
            OnMouseLeave();
            return 0;
        case WM_LBUTTONUP:
            OnMouseUp();
            return 0;
        case WM_CAPTURECHANGED:
            OnCaptureChanged();
            return 0;
        case WM_SETCURSOR:
            if (OnSetCursor(lp)) return TRUE;
            break;
        case WM_MOUSEWHEEL:
            // One notch, one row: the same as an arrow key.
            OnKeyDown(GET_WHEEL_DELTA_WPARAM(wp) > 0 ? VK_UP : VK_DOWN);
            return 0;
        case WM_CONTEXTMENU:
            if (popup_) OnContextMenu(lp);
            return 0;
    }
    return Window::HandleMessage(msg, wp, lp);
}

}  // namespace pelvane
