#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace lupenta {

// The memory behind a frame. On Windows it is a DIB section, so GDI can capture into it and
// draw onto it in place; in tests and benchmarks it is plain heap memory.
class PixelStore {
public:
    virtual ~PixelStore() = default;
    virtual std::uint8_t* Bits() = 0;
    // Opaque handle a platform layer can use to reach its own drawing surface for the store.
    virtual void* NativeHandle() { return nullptr; }
};

class PixelAllocator {
public:
    virtual ~PixelAllocator() = default;
    virtual std::unique_ptr<PixelStore> Allocate(int width, int height, int stride) = 0;
};

PixelAllocator& HeapPixelAllocator();

// A 24-bit frame: rows of blue, green, red bytes, row 0 at the top, each row padded to a
// multiple of 4 bytes as in a DIB.
class Bitmap24 {
public:
    explicit Bitmap24(PixelAllocator& allocator = HeapPixelAllocator());

    static int StrideFor(int width) { return (width * 3 + 3) & ~3; }

    // Reallocates only when the size differs, so a frame of stable size is reused as it is.
    void SetSize(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Stride() const { return stride_; }
    bool Empty() const { return width_ <= 0 || height_ <= 0; }

    std::uint8_t* Row(int y) { return bits_ + static_cast<std::ptrdiff_t>(y) * stride_; }
    const std::uint8_t* Row(int y) const {
        return bits_ + static_cast<std::ptrdiff_t>(y) * stride_;
    }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    // 0x00BBGGRR of one pixel; the caller keeps (x, y) inside the frame.
    std::uint32_t PixelAt(int x, int y) const;
    void SetPixel(int x, int y, std::uint32_t colour);

    PixelStore* Store() { return store_.get(); }

private:
    PixelAllocator* allocator_;
    std::unique_ptr<PixelStore> store_;
    std::uint8_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
};

} // namespace lupenta
