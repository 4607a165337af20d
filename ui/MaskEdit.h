#pragma once
// A single-line edit with an optional edit mask ("9999;1; ": four optional
// digit positions, blank shown as a space) and an optional focus colour.
#include <windows.h>

#include <string>
#include <vector>

#include "common/Handles.h"

namespace pelvane {

// The mask syntax: format;save-literals;blank. Format characters: 0 digit,
// 9 optional digit, # optional digit or sign, L/l letter, A/a letter or
// digit, C/c any character (upper case: required), \x the literal x, and the
// case modifiers > < ! (accepted, not applied); anything else is a literal.
class EditMask {
  public:
    EditMask() = default;
    explicit EditMask(const std::string& mask);

    bool Empty() const { return slots_.empty(); }
    size_t Length() const { return slots_.size(); }
    char Blank() const { return blank_; }
    bool IsLiteral(size_t pos) const { return pos < slots_.size() && slots_[pos].kind == 0; }
    bool Accepts(size_t pos, char c) const;
    // The text as the masked field holds it: one character per position,
    // blanks where nothing fits.
    std::string Apply(const std::string& text) const;
    // First editable position at or after pos (Length() when none).
    size_t NextEditable(size_t pos) const;

  private:
    struct Slot {
        char kind;  // 0 literal, else the format character
        char literal;
    };
    std::vector<Slot> slots_;
    bool saveLiterals_ = true;
    char blank_ = '_';
};

class MaskEdit {
  public:
    MaskEdit() = default;
    MaskEdit(const MaskEdit&) = delete;
    MaskEdit& operator=(const MaskEdit&) = delete;
    ~MaskEdit();

    // Position and size in pixels of the parent's client area (already scaled).
    void Create(HWND parent, int id, int x, int y, int w, int h, DWORD exStyle = WS_EX_CLIENTEDGE);
    HWND Handle() const { return hwnd_; }

    // Text goes through the mask when one is set.
    void SetText(const std::string& text);
    std::string Text() const;
    // Setting a mask re-applies it to the text the field holds.
    void SetEditMask(const std::string& mask);
    void SetMaxLength(int chars);
    // Background while the field has the focus; the window colour otherwise.
    void SetFocusColor(COLORREF color);

  private:
    static LRESULT CALLBACK SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                         DWORD_PTR data) noexcept;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT MaskedMessage(UINT msg, WPARAM wp, LPARAM lp);  // with a mask set
    HBRUSH OnCtlColor(HDC dc) const;                        // null: the edit's own colours
    LRESULT OnNcDestroy(WPARAM wp, LPARAM lp);
    LRESULT OnSetText(WPARAM wp, LPARAM lp);
    bool OnChar(char c);         // true when the mask took the character
    bool OnKeyDown(WPARAM key);  // true when the mask took the key
    void OnClear();
    void OnCut();
    void OnPaste();
    bool ReadOnly() const;
    void TypeChar(char c, bool beep);
    void ClearRange(size_t from, size_t to);
    void PutRaw(const std::string& text, size_t caret);
    std::string RawText() const;
    void Selection(size_t& from, size_t& to) const;
    bool CopySelection() const;

    HWND hwnd_ = nullptr;
    EditMask mask_;
    bool hasFocusColor_ = false;
    COLORREF focusColor_ = 0;
    GdiObject focusBrush_;
};

}  // namespace pelvane
