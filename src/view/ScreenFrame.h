#pragma once

#include "platform/Bitmap24.h"
#include "view/FrameKernels.h"

#include <cstddef>
#include <cstdint>

namespace lupenta {

// Writes `frame` into `out` in the screen's 32-bit layout (blue, green, red, 0 per pixel), rows
// `stride` bytes apart. A window system that keeps its windows in that layout copies such a
// frame as it is, where a 24-bit one costs it a conversion of every pixel on every present.
void WidenFrame(const Bitmap24& frame, std::uint8_t* out, std::ptrdiff_t stride,
                KernelSet set = KernelSet::Best);

} // namespace lupenta
