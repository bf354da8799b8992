#pragma once

// The view's pixel work on 24-bit frames: scaling, lines, mirroring and inversion. Every
// function clips to the frames it is given.

#include "platform/Bitmap24.h"
#include "platform/Geometry.h"

namespace lupenta {

enum class RasterOp {
    Copy,   // the pen colour replaces the pixel
    Invert, // the pixel becomes its bitwise complement; the pen colour does not matter
};

// A frame's pen keeps its settings from one paint to the next.
struct Pen {
    Colour colour = kBlack;
    RasterOp op = RasterOp::Copy;
    friend bool operator==(const Pen&, const Pen&) = default;
};

// Source pixel (c, r) covers the square from (c * zoom, r * zoom) to
// ((c + 1) * zoom - 1, (r + 1) * zoom - 1); whatever falls beyond `dst` is clipped.
void ScaleReplicate(const Bitmap24& src, Bitmap24& dst, int zoom);

// Bilinear enlargement by `zoom` with pixel centres aligned and edges clamped, in 8-bit fixed
// point: output x samples source position (2x + 1) * 128 / zoom - 128 in 1/256 pixel.
void ScaleSmooth(const Bitmap24& src, Bitmap24& dst, int zoom);

// Where ScaleSmooth samples output pixel (or row) `x`: the source pixel at or left of the
// position and the weight of the one after it, clamped to the source.
struct SmoothTap {
    int index;
    int weight; // of the next source pixel, 0..255
};
SmoothTap SmoothTapFor(int x, int zoom, int sourceSize);

// Horizontal or vertical line from `from` up to `to`, leaving `to` itself out.
void DrawLine(Bitmap24& frame, Point from, Point to, const Pen& pen);

// A one-pixel outline along the frame's four edges.
void FrameRectangle(Bitmap24& frame, Colour colour);

void InvertPixel(Bitmap24& frame, int x, int y);
void InvertFrame(Bitmap24& frame);
void MirrorLeftRight(Bitmap24& frame);
void MirrorTopBottom(Bitmap24& frame);

// Whether the pixels of `frame` from `at` on, as many as `copy` holds, equal `copy`'s; the
// region lies inside `frame`.
bool SamePixels(const Bitmap24& frame, Point at, const Bitmap24& copy);
// Fills `copy` with the pixels of `frame` from `at` on; the region lies inside `frame`.
void CopyPixels(const Bitmap24& frame, Point at, Bitmap24& copy);

} // namespace lupenta
