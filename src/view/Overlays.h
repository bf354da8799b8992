#pragma once

// The marks the view draws over the enlarged image: the pointer image, the grid and the
// crosshair on the hot pixel's cell.

#include "platform/Bitmap24.h"
#include "platform/Desktop.h"
#include "view/FrameOps.h"

namespace lupenta {

struct OverlayInput {
    int zoom = 1;
    int leftOffset = 0; // L: hot pixel column in source pixels
    int topOffset = 0;  // T: hot pixel row
    int screenLeft = 0; // for the fixed grid
    int screenTop = 0;
    int gridlevel = 0; // G: grid spacing in source pixels
    bool fixedGrid = false;
    bool drawGrid = false; // draw the crosshair red while a grid is drawn
    int viewWidth = 0;     // W, H: the view's size
    int viewHeight = 0;
    int displayWidth = 0; // w, h: the display rectangle's size
    int displayHeight = 0;
    friend bool operator==(const OverlayInput&, const OverlayInput&) = default;
};

// The pointer's hot spot lands one pixel right of and below the hot pixel cell's corner; the
// image is always a square of 32 * zoom pixels, whatever the cursor's own size.
Point PointerImageCorner(const PointerShape& shape, const OverlayInput& in);
int PointerImageSize(const OverlayInput& in);
void DrawPointerImage(Desktop& desktop, Bitmap24& frame, const OverlayInput& in);
// The same with the pointer the caller already asked the desktop for.
void DrawPointerImage(Desktop& desktop, const PointerShape& shape, Bitmap24& frame,
                      const OverlayInput& in);

// Lines z * G pixels apart. Without a fixed grid they stand still in the view while the image
// moves under them; with one they stay on the same screen pixels. True when a grid was drawn.
bool DrawGridLines(Bitmap24& frame, const Pen& pen, const OverlayInput& in);

// The outline of the hot pixel's cell, every pixel drawn once. Leaves the pen as the next
// grid will use it.
void DrawCrosshair(Bitmap24& frame, Pen& pen, bool gridDrawn, const OverlayInput& in);

} // namespace lupenta
