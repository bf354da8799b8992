#include "view/Overlays.h"

namespace lupenta {

void DrawPointerImage(Desktop& desktop, Bitmap24& frame, const OverlayInput& in) {
    if (const auto shape = desktop.CurrentPointer())
        DrawPointerImage(desktop, *shape, frame, in);
}

Point PointerImageCorner(const PointerShape& shape, const OverlayInput& in) {
    return {(in.leftOffset - shape.hotSpot.x) * in.zoom + 1,
            (in.topOffset - shape.hotSpot.y) * in.zoom + 1};
}

int PointerImageSize(const OverlayInput& in) {
    return 32 * in.zoom;
}

void DrawPointerImage(Desktop& desktop, const PointerShape& shape, Bitmap24& frame,
                      const OverlayInput& in) {
    desktop.DrawPointer(shape, frame, PointerImageCorner(shape, in), PointerImageSize(in));
}

bool DrawGridLines(Bitmap24& frame, const Pen& pen, const OverlayInput& in) {
    const int z = in.zoom;
    const int g = in.gridlevel;
    if (z <= 1 || g <= 0)
        return false;
    const int ox = in.fixedGrid ? in.screenLeft % g : 0;
    const int shiftX = (z * in.leftOffset - in.viewWidth / 2) % (z * g);
    for (int i = 0; i <= in.displayWidth / z; ++i) {
        if ((i - in.leftOffset) % g != 0)
            continue;
        const int x = z * (i - ox) - shiftX;
        DrawLine(frame, {x, 0}, {x, in.displayHeight}, pen);
    }
    const int oy = in.fixedGrid ? in.screenTop % g : 0;
    const int shiftY = (z * in.topOffset - in.viewHeight / 2) % (z * g);
    for (int i = 0; i <= in.displayHeight / z; ++i) {
        if ((i - in.topOffset) % g != 0)
            continue;
        const int y = z * (i - oy) - shiftY;
        DrawLine(frame, {0, y}, {in.displayWidth, y}, pen);
    }
    return true;
}

void DrawCrosshair(Bitmap24& frame, Pen& pen, bool gridDrawn, const OverlayInput& in) {
    const int z = in.zoom;
    const int l = in.leftOffset;
    const int t = in.topOffset;
    if (z == 1) {
        InvertPixel(frame, l, t);
        return;
    }
    if (gridDrawn && in.drawGrid)
        pen = Pen{kRed, RasterOp::Copy};
    else
        pen.op = RasterOp::Invert;
    const Point corners[] = {{l * z, t * z},
                             {(l + 1) * z, t * z},
                             {(l + 1) * z, (t + 1) * z},
                             {l * z, (t + 1) * z},
                             {l * z, t * z}};
    for (int i = 0; i < 4; ++i)
        DrawLine(frame, corners[i], corners[i + 1], pen);
    if (gridDrawn)
        pen.colour = kBlack;
}

} // namespace lupenta
