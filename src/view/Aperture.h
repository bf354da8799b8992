#pragma once

// Sampling over an aperture: a single pixel of anti-aliased text or a dithered image is a
// misleading sample, so the colour can be the mean of a square of pixels around the hot pixel.

#include "platform/Bitmap24.h"
#include "platform/Geometry.h"

#include <array>
#include <optional>

namespace lupenta {

// The sides of the apertures offered; 1 reads the hot pixel alone.
constexpr std::array<int, 3> SampleSizes{1, 3, 5};

// The mean of the `size` x `size` pixels centred on `hot` that lie inside both `frame` and
// `within`, each channel rounded to nearest (halves up). Nothing to average gives nothing.
std::optional<Colour> ApertureMean(const Bitmap24& frame, const Rect& within, Point hot, int size);

// Where the aperture's outline goes in a frame enlarged by `zoom`, before any mirroring: just
// outside the aperture's cells on every side, so the outline never hides a pixel it averages
// and never meets the crosshair on the hot cell. Corners of a rectangle, right and bottom
// included.
Rect ApertureOutline(Point hot, int size, int zoom);

// Inverts the outline's pixels, each once, mirrored as the frame was.
void DrawApertureOutline(Bitmap24& frame, Rect outline, bool flipHorizontal, bool flipVertical);

} // namespace lupenta
