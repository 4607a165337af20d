#pragma once
// The read-only log text: whole lines appended at the end, a gutter with line
// numbers, the caret line highlighted, selection and copying. Only the
// visible lines are painted, so 100,000 lines stay cheap; past the limit the
// oldest lines leave from the top, so a program that runs for months keeps
// its memory bounded.
#include <deque>
#include <string>

#include "common/Handles.h"
#include "ui/Window.h"

namespace pelvane {

class LogView : public Window {
  public:
    struct Pos {
        size_t line = 0;
        size_t col = 0;
        bool operator==(const Pos& o) const { return line == o.line && col == o.col; }
        bool operator!=(const Pos& o) const { return !(*this == o); }
        bool operator<(const Pos& o) const { return line < o.line || (line == o.line && col < o.col); }
    };

    static constexpr COLORREF kCaretLineColor = 14811135;  // pale yellow
    static constexpr size_t kDefaultMaxLines = 100000;

    // Position and size in pixels of the parent's client area (already scaled).
    void Create(HWND parent, int id, int x, int y, int w, int h);

    // Adds one line at the end; the caret and the scroll position stay on
    // their text, also when the oldest line leaves to make room.
    void AppendLine(const std::string& line);
    size_t LineCount() const { return lines_.size(); }
    const std::string& Line(size_t index) const { return lines_[index]; }
    void SetMaxLines(size_t lines) { maxLines_ = lines ? lines : 1; }
    // Not owned: the menu opened by the right button or the menu key, at the
    // caret when from the keyboard. Its commands go to the top-level window.
    void SetPopupMenu(HMENU menu) { popup_ = menu; }
    // Lines that have left from the top; the gutter keeps counting from them.
    size_t DroppedLines() const { return dropped_; }

    Pos CaretPos() const { return caret_; }
    void SetCaretPos(Pos pos, bool extendSelection = false);
    bool HasSelection() const { return anchor_ != caret_; }
    std::string SelectedText() const;
    void SelectAll();
    void CopyToClipboard() const;
    size_t TopLine() const { return top_; }
    int VisibleLines() const;

  private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnPaint();
    void OnSize();
    void OnSetFocus();
    void OnKeyDown(WPARAM key);
    bool OnCtrlKey(WPARAM key);  // true when it was a Ctrl key of the view's
    void OnTimer(UINT_PTR id);
    void OnContextMenu(LPARAM lp);
    void OnMouseDown(int x, int y, bool shift);
    void OnDblClick(int x, int y);
    void OnMouseMove(int x, int y);
    void OnMouseUp(bool captureLost);
    void OnMouseWheel(int delta);
    void OnVScroll(int code) override;
    void OnHScroll(int code) override;

    // Where a caret key takes p; keepCol for the keys that go from line to
    // line. False for any other key.
    bool CaretKeyTarget(WPARAM key, bool ctrl, Pos& p, bool& keepCol);
    size_t LineLength(size_t line) const;

    void MeasureFont();
    int GutterWidth() const;
    Pos HitTest(int x, int y) const;
    Pos Clamp(Pos p) const;
    void ScrollTo(size_t top, int left);
    void EnsureCaretVisible();
    void UpdateScrollBars();
    void PlaceCaret();
    void InvalidateLines(size_t from, size_t to);
    void PaintLine(HDC dc, size_t line, int y, const RECT& client);

    void DropFirstLine();

    std::deque<std::string> lines_;
    HMENU popup_ = nullptr;
    size_t maxLines_ = kDefaultMaxLines;
    size_t dropped_ = 0;
    size_t longest_ = 0;  // characters of the longest line, for the horizontal range
    Pos caret_, anchor_;
    size_t wantCol_ = 0;  // column kept while moving up and down
    size_t top_ = 0;
    int left_ = 0;
    int gutterDigits_ = 0;
    bool scrollPending_ = false;
    int lastV_[3] = {-1, -1, -1}, lastH_[3] = {-1, -1, -1};  // max, page, pos last set
    bool dragging_ = false;
    GdiObject font_;
    int charW_ = 7, lineH_ = 14;
};

}  // namespace pelvane
