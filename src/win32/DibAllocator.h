#pragma once

#include "platform/Bitmap24.h"

#include <windows.h>

namespace lupenta::win32 {

// Frames whose memory is a top-down 24-bit DIB section selected into a memory DC, so GDI can
// capture into a frame and draw onto it in place. NativeHandle() is that DC.
class DibAllocator final : public PixelAllocator {
public:
    std::unique_ptr<PixelStore> Allocate(int width, int height, int stride) override;
};

// The memory DC of a frame made by DibAllocator, or nullptr for any other frame.
HDC FrameDc(Bitmap24& frame);

} // namespace lupenta::win32
