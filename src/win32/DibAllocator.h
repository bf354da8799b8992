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

class DibPixelStore;

// A top-down 32-bit DIB section selected into a memory DC, in the screen's own pixel layout
// (blue, green, red, unused), which GDI copies to a window without converting each pixel.
class ScreenLayoutDib {
public:
    ScreenLayoutDib();
    ~ScreenLayoutDib();
    ScreenLayoutDib(const ScreenLayoutDib&) = delete;
    ScreenLayoutDib& operator=(const ScreenLayoutDib&) = delete;

    // Makes the section `width` x `height`, keeping the one it has at that size; false when
    // GDI could not make one. Dc() and Bits() are valid while the last Fit held.
    bool Fit(int width, int height);
    HDC Dc() const;
    std::uint8_t* Bits() const;
    int Stride() const { return width_ * 4; }

private:
    std::unique_ptr<DibPixelStore> store_;
    int width_ = 0;
    int height_ = 0;
};

} // namespace lupenta::win32
