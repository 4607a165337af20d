#pragma once
// A picture drawn by a function (the logo, the program icon), and the two
// pictures of the main window.
#include <windows.h>

#include <functional>

#include "ui/Window.h"

namespace pelvane {

class Picture : public Window {
  public:
    using Painter = std::function<void(HDC dc, const RECT& rc)>;
    // In device pixels.
    void Create(HWND parent, int id, int x, int y, int w, int h, Painter painter);

  private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    Painter painter_;
};

// The product name in white letters on a blue rounded panel.
void PaintLogo(HDC dc, const RECT& rc);
// The program icon: the executable's first icon, or a drawn stand-in.
void PaintProgramIcon(HDC dc, const RECT& rc);

}  // namespace pelvane
