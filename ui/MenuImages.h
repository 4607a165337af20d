#pragma once
// The six 16 x 16 images of the main window's action list (cut, copy, paste,
// undo, delete text, delete task), as 32-bit bitmaps with alpha for menu items.
#include <windows.h>

#include "common/Handles.h"

namespace pelvane {

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
