#include "platform/win32/Painting.h"

#include "platform/win32/Handles.h"
#include "platform/win32/Text.h"

namespace lupenta::win32 {

void FillWith(HDC dc, const RECT& r, Colour colour) {
    UniqueBrush brush(CreateSolidBrush(colour));
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
    FillWith(dc, r, background);
    SelectGuard selectFont(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, textColour);
    DrawTextW(dc, Widen(text).c_str(), -1, &r, format);
}

} // namespace lupenta::win32
