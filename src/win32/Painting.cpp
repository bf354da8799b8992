#include "win32/Painting.h"

#include "win32/Handles.h"
#include "win32/Text.h"

namespace lupenta::win32 {

COLORREF ColourRef(Colour colour) {
    return IsSystemColour(colour) ? GetSysColor(SystemColourIndex(colour)) : colour;
}

void FillWith(HDC dc, const RECT& r, Colour colour) {
    UniqueBrush brush(CreateSolidBrush(ColourRef(colour)));
    FillRect(dc, &r, brush.get());
}

void PaintText(HWND window, Colour background, const std::string& text, Colour textColour,
               HFONT font, UINT format) {
    PaintSession paint(window);
    HDC dc = paint.get();
    if (!dc)
        return;
    RECT r;
    GetClientRect(window, &r);
    DrawTextIn(dc, r, background, text, textColour, font, format);
}

void DrawTextIn(HDC dc, const RECT& r, Colour background, const std::string& text,
                Colour textColour, HFONT font, UINT format) {
    FillWith(dc, r, background);
    SelectGuard selectFont(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColourRef(textColour));
    RECT box = r;
    DrawTextW(dc, Widen(text).c_str(), -1, &box, format);
}

} // namespace lupenta::win32
