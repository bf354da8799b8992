#include "view/FrameOps.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace lupenta {

namespace {

void ApplyPen(std::uint8_t* p, const Pen& pen) {
    if (pen.op == RasterOp::Invert) {
        p[0] = static_cast<std::uint8_t>(~p[0]);
        p[1] = static_cast<std::uint8_t>(~p[1]);
        p[2] = static_cast<std::uint8_t>(~p[2]);
    } else {
        p[0] = static_cast<std::uint8_t>(BlueOf(pen.colour));
        p[1] = static_cast<std::uint8_t>(GreenOf(pen.colour));
        p[2] = static_cast<std::uint8_t>(RedOf(pen.colour));
    }
}

} // namespace

SmoothTap SmoothTapFor(int x, int zoom, int sourceSize) {
    int pos = (2 * x + 1) * 128 / zoom - 128;
    if (pos < 0)
        pos = 0;
    SmoothTap tap{pos >> 8, pos & 255};
    if (tap.index >= sourceSize - 1)
        tap = {sourceSize - 1, 0};
    return tap;
}

void ScaleReplicate(const Bitmap24& src, Bitmap24& dst, int zoom) {
    const int width = std::min(dst.Width(), src.Width() * zoom);
    const int height = std::min(dst.Height(), src.Height() * zoom);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = src.Row(y / zoom);
        std::uint8_t* out = dst.Row(y);
        for (int x = 0; x < width; ++x)
            std::memcpy(out + x * 3, in + (x / zoom) * 3, 3);
    }
}

void ScaleSmooth(const Bitmap24& src, Bitmap24& dst, int zoom) {
    const int width = std::min(dst.Width(), src.Width() * zoom);
    const int height = std::min(dst.Height(), src.Height() * zoom);
    for (int y = 0; y < height; ++y) {
        const SmoothTap ty = SmoothTapFor(y, zoom, src.Height());
        const std::uint8_t* row0 = src.Row(ty.index);
        const std::uint8_t* row1 = src.Row(std::min(ty.index + 1, src.Height() - 1));
        std::uint8_t* out = dst.Row(y);
        for (int x = 0; x < width; ++x) {
            const SmoothTap tx = SmoothTapFor(x, zoom, src.Width());
            const int c0 = tx.index * 3;
            const int c1 = std::min(tx.index + 1, src.Width() - 1) * 3;
            for (int b = 0; b < 3; ++b) {
                const int top = row0[c0 + b] * (256 - tx.weight) + row0[c1 + b] * tx.weight;
                const int bottom = row1[c0 + b] * (256 - tx.weight) + row1[c1 + b] * tx.weight;
                out[x * 3 + b] = static_cast<std::uint8_t>(
                    (top * (256 - ty.weight) + bottom * ty.weight + 32768) >> 16);
            }
        }
    }
}

void DrawLine(Bitmap24& frame, Point from, Point to, const Pen& pen) {
    if (from.y == to.y) {
        if (from.y < 0 || from.y >= frame.Height())
            return;
        const int step = to.x > from.x ? 1 : -1;
        for (int x = from.x; x != to.x; x += step)
            if (x >= 0 && x < frame.Width())
                ApplyPen(frame.Row(from.y) + x * 3, pen);
    } else if (from.x == to.x) {
        if (from.x < 0 || from.x >= frame.Width())
            return;
        const int step = to.y > from.y ? 1 : -1;
        for (int y = from.y; y != to.y; y += step)
            if (y >= 0 && y < frame.Height())
                ApplyPen(frame.Row(y) + from.x * 3, pen);
    }
}

void FrameRectangle(Bitmap24& frame, Colour colour) {
    const Pen pen{colour, RasterOp::Copy};
    const int right = frame.Width() - 1;
    const int bottom = frame.Height() - 1;
    DrawLine(frame, {0, 0}, {right, 0}, pen);
    DrawLine(frame, {right, 0}, {right, bottom}, pen);
    DrawLine(frame, {right, bottom}, {0, bottom}, pen);
    DrawLine(frame, {0, bottom}, {0, 0}, pen);
}

void InvertPixel(Bitmap24& frame, int x, int y) {
    if (frame.Contains(x, y))
        ApplyPen(frame.Row(y) + x * 3, Pen{kBlack, RasterOp::Invert});
}

void InvertFrame(Bitmap24& frame) {
    for (int y = 0; y < frame.Height(); ++y) {
        std::uint8_t* row = frame.Row(y);
        for (int i = 0; i < frame.Width() * 3; ++i)
            row[i] = static_cast<std::uint8_t>(~row[i]);
    }
}

void MirrorLeftRight(Bitmap24& frame) {
    const int width = frame.Width();
    for (int y = 0; y < frame.Height(); ++y) {
        std::uint8_t* row = frame.Row(y);
        for (int i = 0; i < width / 2; ++i)
            std::swap_ranges(row + i * 3, row + i * 3 + 3, row + (width - 1 - i) * 3);
    }
}

void MirrorTopBottom(Bitmap24& frame) {
    const int bytes = frame.Width() * 3;
    for (int r = 0; r < frame.Height() / 2; ++r) {
        std::uint8_t* a = frame.Row(r);
        std::swap_ranges(a, a + bytes, frame.Row(frame.Height() - 1 - r));
    }
}

bool SamePixels(const Bitmap24& frame, Point at, const Bitmap24& copy) {
    const auto bytes = static_cast<std::size_t>(copy.Width()) * 3;
    for (int y = 0; y < copy.Height(); ++y)
        if (std::memcmp(frame.Row(at.y + y) + at.x * 3, copy.Row(y), bytes) != 0)
            return false;
    return true;
}

void CopyPixels(const Bitmap24& frame, Point at, Bitmap24& copy) {
    const auto bytes = static_cast<std::size_t>(copy.Width()) * 3;
    for (int y = 0; y < copy.Height(); ++y)
        std::memcpy(copy.Row(y), frame.Row(at.y + y) + at.x * 3, bytes);
}

} // namespace lupenta
