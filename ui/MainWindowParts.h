#pragma once
// Small parts of the main window: the containers its controls sit in, the
// pictures it draws, and the images of its popup menu.
#include <windows.h>

#include <functional>
#include <vector>

#include "common/Handles.h"
#include "ui/Window.h"

namespace pelvane {

// A plain area in the face colour that holds controls (Panel1, the tab
// sheets). The notifications of its children go on to the form, so the form
// handles every control wherever it sits.
class Container : public Window {
  public:
    void Create(HWND parent, HWND form, int id, int x, int y, int w, int h);

  private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    HWND form_ = nullptr;
};

// A group box (a BUTTON of style BS_GROUPBOX) that holds controls and passes
// their notifications on to the form in the same way.
HWND CreateGroupBox(HWND parent, HWND form, const char* caption, int id, int x, int y, int w, int h);

// A picture drawn by a function (the logo, the program icon).
class Picture : public Window {
  public:
    using Painter = std::function<void(HDC dc, const RECT& rc)>;
    void Create(HWND parent, int id, int x, int y, int w, int h, Painter painter);

  private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    Painter painter_;
};

// The product name in white letters on a blue rounded panel.
void PaintLogo(HDC dc, const RECT& rc);
// The program icon, or a drawn stand-in where the executable carries none.
void PaintProgramIcon(HDC dc, const RECT& rc);

// The six 16 x 16 images of the action list (cut, copy, paste, undo, delete
// text, delete task), as 32-bit bitmaps with alpha for menu items.
class MenuImages {
  public:
    enum { kCut, kCopy, kPaste, kUndo, kDelete, kDeleteTask, kCount };
    void Create();
    HBITMAP Get(int index) const {
        return index >= 0 && index < kCount ? static_cast<HBITMAP>(images_[index].get()) : nullptr;
    }

  private:
    GdiObject images_[kCount];
};

}  // namespace pelvane
