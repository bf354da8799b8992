#pragma once

#include "platform/Geometry.h"

#include <string>

#include <windows.h>

namespace lupenta::win32 {

// The colour GDI draws for `colour`: a system colour is looked up in the current scheme.
COLORREF ColourRef(Colour colour);

void FillWith(HDC dc, const RECT& r, Colour colour);

// Fills `r` with the background and draws the text in it.
void DrawTextIn(HDC dc, const RECT& r, Colour background, const std::string& text,
                Colour textColour, HFONT font, UINT format);

// Paints a whole window as text in `format` (DrawText's flags) over a background colour.
void PaintText(HWND window, Colour background, const std::string& text, Colour textColour,
               HFONT font, UINT format);

} // namespace lupenta::win32
