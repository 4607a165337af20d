#pragma once
// The task grid: a data-aware grid over a TDataSet. Title row with the
// fields' display labels, indicator column, an always-shown cell editor with
// an ellipsis button, and the keys the task editing relies on.
#include <windows.h>
#include <uxtheme.h>

#include <functional>
#include <string>
#include <vector>

#include "common/Handles.h"
#include "store/DataSet.h"
#include "ui/Window.h"

namespace pelvane {

class DataGrid : public Window, private DataSetObserver {
  public:
    struct Column {
        Column(std::string fieldName, int width, std::string titleText = {}, bool button = true)
            : field(std::move(fieldName)), width96(width), title(std::move(titleText)), ellipsis(button) {}
        std::string field;
        int width96;        // at 96 dpi; the user may change it
        std::string title;  // empty: the field's display label
        bool ellipsis;      // an ellipsis button in the cell editor
    };

    DataGrid() = default;
    ~DataGrid() override;

    // Position and size in pixels of the parent's client area (already scaled).
    void Create(HWND parent, int id, int x, int y, int w, int h);
    void SetDataSet(TDataSet* dataSet);
    TDataSet* DataSet() const { return ds_; }
    void SetColumns(const std::vector<Column>& columns);
    int ColumnWidth(int col) const { return widths_.at(static_cast<size_t>(col)); }  // pixels
    void SetColumnWidth(int col, int px);

    // The current cell's column and its field name.
    int SelectedIndex() const { return col_; }
    void SetSelectedIndex(int col);
    std::string SelectedField() const;

    // Shown on a right click (also over the cell editor); its commands go to
    // commandTarget, by default the grid's top-level window.
    void SetPopupMenu(HMENU menu, HWND commandTarget = nullptr) {
        popup_ = menu;
        popupTarget_ = commandTarget;
    }
    // DBGrid1DblClick is wired to both.
    std::function<void()> OnDblClick;
    std::function<void()> OnEditButtonClick;
    // The focus went from the grid to another control of its window.
    std::function<void()> OnExit;

    HWND Editor() const { return editor_; }
    bool EditorVisible() const { return editor_ && IsWindowVisible(editor_); }
    int TopRow() const { return top_; }
    int VisibleRowCount() const;
    // Screen geometry, for tests and the owner: a data cell's rectangle in
    // client coordinates (row = dataset row), and the editor button's.
    RECT CellRect(int row, int col) const;
    RECT EditButtonRect() const;
    RECT TitleRect(int col) const;

  private:
    enum class Hit { None, Title, Resize, Indicator, Cell, Button, Empty };
    struct HitInfo {
        Hit what = Hit::None;
        int row = -1, col = -1;
    };
    // A left click on the grid, in screen coordinates: the first click of a
    // double-click puts the editor over the cell, so the second one lands in
    // the editor and must still make a double-click.
    struct Click {
        bool pending = false;
        LONG time = 0;
        POINT at = {};
    };

    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    LRESULT MouseMessage(UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK EditorProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                       DWORD_PTR data) noexcept;
    LRESULT EditorMessage(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

    // DataSetObserver
    void DataSetChanged() override;
    void RecordChanged() override;
    void StateChanged() override;
    void Scrolled() override;

    // The grid's messages.
    void OnPaint();
    void OnPrintClient(HDC dc);
    void OnSetFont(HFONT font);
    void OnSize();
    void OnThemeChanged();
    void OnEnable();
    void OnSetFocus();
    void OnFocusLeft(HWND newFocus);
    bool OnKeyDown(WPARAM key);  // true when the key was the grid's
    void OnChar(WPARAM ch, LPARAM lp);
    void OnCommand(WPARAM wp, LPARAM lp);
    void OnButtonDown(UINT msg, LPARAM lp);
    void OnMouseDown(int x, int y, bool dbl);
    void OnMouseMove(int x, int y);
    void OnMouseUp();
    void OnMouseLeave();
    void OnCaptureChanged();
    bool OnSetCursor(LPARAM lp);  // true when the grid set the cursor
    void OnContextMenu(LPARAM lp);
    void OnVScroll(int code) override;
    void OnHScroll(int code) override;
    // The cell editor's messages.
    bool OnEditorKeyDown(HWND editor, WPARAM key);    // true when the key moved the grid
    bool OnEditorButtonDown(HWND editor, LPARAM lp);  // true when it made a double-click
    void OnEditorChange();

    void KeyDown();
    void KeyUp();
    void MoveColumn(int delta, bool wrap);
    void MoveToRow(int row);
    void EditButtonClick();
    void DblClick();

    int DisplayRows() const;
    int CurrentRow() const;
    int ColumnLeft(int col) const;
    int TotalWidth() const;
    HitInfo HitTest(int x, int y) const;
    bool SecondClick(HWND editor, LPARAM lp) const;
    void MakeCurrentVisible();
    void UpdateScrollBars();
    void UpdateEditor();
    void LoadEditorText();
    void Repaint();
    bool HasField() const;  // the current column shows a field of an open dataset
    bool CanEdit() const;
    void OpenThemes();
    void CloseThemes();
    void Paint(HDC dc, const RECT& area);  // double-buffered
    std::string TitleText(int col) const;
    void DrawTitleRow(HDC dc);
    void DrawDataRows(HDC dc);
    void DrawLines(HDC dc);
    void DrawHeaderCell(HDC dc, const RECT& rc, int state, const std::string& text, bool indicator);
    void DrawIndicator(HDC dc, const RECT& rc, int row);
    void DrawEditButton(HDC dc);

    TDataSet* ds_ = nullptr;
    std::vector<Column> columns_;
    std::vector<int> widths_;
    HWND editor_ = nullptr;
    HMENU popup_ = nullptr;
    HWND popupTarget_ = nullptr;
    GdiObject titleFont_;
    HFONT font_ = nullptr;
    ThemeHandle header_, button_;
    int col_ = 0;
    int top_ = 0;
    int scrollX_ = 0;
    int rowH_ = 18, indicatorW_ = 11;
    bool writing_ = false;      // the editor is writing to the dataset
    bool loadingText_ = false;  // the grid is filling the editor
    int hotTitle_ = -1, pressedTitle_ = -1;
    bool tracking_ = false;
    int resizeCol_ = -1, resizeStartX_ = 0, resizeStartW_ = 0;
    bool buttonDown_ = false, buttonPressed_ = false;
    Click lastClick_;
};

}  // namespace pelvane
