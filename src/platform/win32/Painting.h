#pragma once

#include "platform/Geometry.h"

#include <string>

#include <windows.h>

namespace lupenta::win32 {

void FillWith(HDC dc, const RECT& r, Colour colour);

// Paints a whole window as text in `format` (DrawText's flags) over a background colour.
void PaintText(HWND window, Colour background, const std::string& text, Colour textColour,
               HFONT font, UINT format);

} // namespace lupenta::win32
