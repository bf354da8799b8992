#include "platform/Bitmap24.h"

#include <vector>

namespace lupenta {

namespace {

class HeapPixelStore final : public PixelStore {
public:
    explicit HeapPixelStore(std::size_t bytes) : bytes_(bytes) {}
    std::uint8_t* Bits() override { return bytes_.data(); }

private:
    std::vector<std::uint8_t> bytes_;
};

class HeapAllocator final : public PixelAllocator {
public:
    std::unique_ptr<PixelStore> Allocate(int, int height, int stride) override {
        return std::make_unique<HeapPixelStore>(static_cast<std::size_t>(height) * stride);
    }
};

} // namespace

PixelAllocator& HeapPixelAllocator() {
    static HeapAllocator allocator;
    return allocator;
}

Bitmap24::Bitmap24(PixelAllocator& allocator) : allocator_(&allocator) {}

void Bitmap24::SetSize(int width, int height) {
    if (width < 0)
        width = 0;
    if (height < 0)
        height = 0;
    if (width == width_ && height == height_)
        return;
    // The old pixels go first so two frames never hold memory at once; a failed allocation
    // leaves an empty frame, which a later SetSize of the same size fills again.
    store_.reset();
    bits_ = nullptr;
    width_ = 0;
    height_ = 0;
    stride_ = StrideFor(0);
    if (width > 0 && height > 0) {
        store_ = allocator_->Allocate(width, height, StrideFor(width));
        bits_ = store_->Bits();
    }
    width_ = width;
    height_ = height;
    stride_ = StrideFor(width);
}

std::uint32_t Bitmap24::PixelAt(int x, int y) const {
    const std::uint8_t* p = Row(y) + x * 3;
    return static_cast<std::uint32_t>(p[2]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[0]) << 16;
}

void Bitmap24::SetPixel(int x, int y, std::uint32_t colour) {
    std::uint8_t* p = Row(y) + x * 3;
    p[0] = static_cast<std::uint8_t>(colour >> 16);
    p[1] = static_cast<std::uint8_t>(colour >> 8);
    p[2] = static_cast<std::uint8_t>(colour);
}

} // namespace lupenta
