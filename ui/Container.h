#pragma once
// Containers of the main window's controls: a plain panel in the face colour
// (Panel1, the tab sheets) and a group box. The notifications of their
// children go on to the form, so the form handles every control wherever it sits.
#include <windows.h>

#include "ui/Window.h"

namespace pelvane {

class Container : public Window {
  public:
    // In device pixels: the tab sheets take the place their page control gives.
    void Create(HWND parent, HWND form, int id, int x, int y, int w, int h);

  private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    HWND form_ = nullptr;
};

// A group box (a BUTTON of style BS_GROUPBOX) that holds controls and passes
// their notifications on to the form in the same way. Its place is in pixels
// at 96 dpi.
HWND CreateGroupBox(HWND parent, HWND form, const char* caption, int id, int x, int y, int w, int h);

}  // namespace pelvane
