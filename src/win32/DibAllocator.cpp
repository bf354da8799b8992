#include "win32/DibAllocator.h"

#include "win32/Handles.h"

namespace lupenta::win32 {

class DibPixelStore final : public PixelStore {
public:
    DibPixelStore(int width, int height, WORD bitCount) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height; // top-down: row 0 is the top row
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = bitCount;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<std::uint8_t*>(bits);
        if (bitmap_ && dc_.get())
            old_ = SelectObject(dc_.get(), bitmap_);
    }
    ~DibPixelStore() override {
        if (old_)
            SelectObject(dc_.get(), old_);
        if (bitmap_)
            DeleteObject(bitmap_);
    }

    std::uint8_t* Bits() override { return bits_; }
    void* NativeHandle() override { return bitmap_ ? dc_.get() : nullptr; }
    bool Valid() const { return bits_ != nullptr; }

private:
    UniqueMemoryDc dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    std::uint8_t* bits_ = nullptr;
};

std::unique_ptr<PixelStore> DibAllocator::Allocate(int width, int height, int stride) {
    auto store = std::make_unique<DibPixelStore>(width, height, 24);
    if (store->Valid())
        return store;
    // Out of GDI resources: plain memory still lets the view work, minus capture into it.
    return HeapPixelAllocator().Allocate(width, height, stride);
}

HDC FrameDc(Bitmap24& frame) {
    PixelStore* store = frame.Store();
    return store ? static_cast<HDC>(store->NativeHandle()) : nullptr;
}

ScreenLayoutDib::ScreenLayoutDib() = default;
ScreenLayoutDib::~ScreenLayoutDib() = default;

bool ScreenLayoutDib::Fit(int width, int height) {
    if (store_ && width == width_ && height == height_)
        return true;
    store_.reset();
    width_ = width;
    height_ = height;
    if (width <= 0 || height <= 0)
        return false;
    store_ = std::make_unique<DibPixelStore>(width, height, 32);
    if (!store_->Valid())
        store_.reset();
    return store_ != nullptr;
}

HDC ScreenLayoutDib::Dc() const {
    return static_cast<HDC>(store_->NativeHandle());
}

std::uint8_t* ScreenLayoutDib::Bits() const {
    return store_->Bits();
}

} // namespace lupenta::win32
