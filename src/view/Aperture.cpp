#include "view/Aperture.h"

#include "view/FrameOps.h"

#include <algorithm>

namespace lupenta {

std::optional<Colour> ApertureMean(const Bitmap24& frame, const Rect& within, Point hot, int size) {
    const int reach = size / 2;
    const int left = std::max({hot.x - reach, within.left, 0});
    const int top = std::max({hot.y - reach, within.top, 0});
    const int right = std::min({hot.x + reach + 1, within.right, frame.Width()});
    const int bottom = std::min({hot.y + reach + 1, within.bottom, frame.Height()});
    if (left >= right || top >= bottom)
        return std::nullopt;
    int red = 0;
    int green = 0;
    int blue = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            const Colour c = frame.PixelAt(x, y);
            red += RedOf(c);
            green += GreenOf(c);
            blue += BlueOf(c);
        }
    const int count = (right - left) * (bottom - top);
    const auto mean = [count](int sum) { return (2 * sum + count) / (2 * count); };
    return MakeColour(mean(red), mean(green), mean(blue));
}

Rect ApertureOutline(Point hot, int size, int zoom) {
    const int reach = size / 2;
    return {(hot.x - reach) * zoom - 1, (hot.y - reach) * zoom - 1, (hot.x + reach + 1) * zoom,
            (hot.y + reach + 1) * zoom};
}

void DrawApertureOutline(Bitmap24& frame, Rect outline, bool flipHorizontal, bool flipVertical) {
    if (flipHorizontal)
        outline = {frame.Width() - 1 - outline.right, outline.top, frame.Width() - 1 - outline.left,
                   outline.bottom};
    if (flipVertical)
        outline = {outline.left, frame.Height() - 1 - outline.bottom, outline.right,
                   frame.Height() - 1 - outline.top};
    const Pen pen{kBlack, RasterOp::Invert};
    const Point corners[] = {{outline.left, outline.top},
                             {outline.right, outline.top},
                             {outline.right, outline.bottom},
                             {outline.left, outline.bottom},
                             {outline.left, outline.top}};
    for (int i = 0; i < 4; ++i)
        DrawLine(frame, corners[i], corners[i + 1], pen);
}

} // namespace lupenta
