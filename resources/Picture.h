#pragma once
// The program's own pictures and icon, taken from the executable's resources.
#include <windows.h>

#include "common/Handles.h"
#include "resources/ResourceIds.h"

namespace pelvane {

// A picture resource (32-bit with alpha, as art/make_art.py writes them)
// laid over a solid colour: a bitmap for BitBlt or StretchBlt. Throws
// pelvane::Exception when the module holds no such picture.
GdiObject LoadPicture(int id, COLORREF background);

// Width and height of a picture resource in pixels; {0, 0} when missing.
SIZE PictureSize(int id);

// Draws a picture scaled into r over the colour (the window's face colour,
// usually); draws nothing when the picture is missing.
void DrawPicture(HDC dc, int id, const RECT& r, COLORREF background);

// The program icon at the given width and height, made from the nearest
// image of the icon resource; null when the module carries none. Not shared
// (LR_SHARED): the system would hand out the size it loaded first.
IconHandle LoadProgramIcon(int size);

}  // namespace pelvane
