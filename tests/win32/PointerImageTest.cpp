#include "view/PointerImage.h"
#include "win32/Win32Desktop.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <random>
#include <vector>

namespace lupenta::win32 {
namespace {

// A 32 x 32 monochrome cursor with every pair of mask bits: black, white, transparent and
// inverting quarters.
HCURSOR MonochromeCursor() {
    std::vector<BYTE> andPlane(32 * 4), xorPlane(32 * 4);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const int bit = y * 32 + x;
            const BYTE flag = static_cast<BYTE>(0x80 >> (bit % 8));
            if (x >= 16)
                andPlane[bit / 8] |= flag;
            if (y >= 16)
                xorPlane[bit / 8] |= flag;
        }
    return CreateCursor(GetModuleHandleW(nullptr), 3, 5, 32, 32, andPlane.data(), xorPlane.data());
}

// A 32 x 32 colour cursor whose alpha runs from clear to opaque across it.
HCURSOR AlphaCursor() {
    BITMAPV5HEADER header{};
    header.bV5Size = sizeof header;
    header.bV5Width = 32;
    header.bV5Height = -32;
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    header.bV5AlphaMask = 0xFF000000;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP colour = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header),
                                      DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            pixels[y * 32 + x] =
                static_cast<std::uint32_t>((x * 8) << 24 | (y * 8) << 16 | (255 - x * 8) << 8 | 90);
    HBITMAP mask = CreateBitmap(32, 32, 1, 1, nullptr);
    ICONINFO info{FALSE, 2, 2, mask, colour};
    HCURSOR cursor = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(colour);
    return cursor;
}

void FillNoise(Bitmap24& frame, unsigned seed) {
    std::mt19937 random(seed);
    for (int y = 0; y < frame.Height(); ++y)
        for (int x = 0; x < frame.Width() * 3; ++x)
            frame.Row(y)[x] = static_cast<std::uint8_t>(random());
}

// The learnt image matches DrawIconEx to the byte for the system's own cursors and for
// monochrome and alpha cursors, whole or cut off by the frame's edges, and is learnt rather
// than drawn by the system each time.
TEST(PointerImage, MatchesDrawIconExForEveryKindOfCursor) {
    struct Named {
        const char* name;
        HCURSOR cursor;
    };
    const Named cursors[] = {{"arrow", LoadCursorW(nullptr, IDC_ARROW)},
                             {"I-beam", LoadCursorW(nullptr, IDC_IBEAM)},
                             {"hand", LoadCursorW(nullptr, IDC_HAND)},
                             {"monochrome", MonochromeCursor()},
                             {"alpha", AlphaCursor()}};
    Win32Desktop desktop;
    for (const Named& named : cursors)
        for (int zoom : {1, 5, 8})
            for (Point offset : {Point{30, 20}, Point{0, 0}, Point{250 / zoom - 3, 140 / zoom}}) {
                SCOPED_TRACE(::testing::Message() << named.name << " zoom " << zoom << " offset "
                                                  << offset.x << "," << offset.y);
                ASSERT_NE(named.cursor, nullptr);
                const PointerShape shape{{2, 2}, reinterpret_cast<std::uintptr_t>(named.cursor)};
                OverlayInput in;
                in.zoom = zoom;
                in.leftOffset = offset.x;
                in.topOffset = offset.y;
                PointerImage image(desktop);
                for (int paint = 0; paint < PointerImage::kPaintsToLearn + 1; ++paint) {
                    Bitmap24 expected(desktop.FrameAllocator());
                    Bitmap24 actual(desktop.FrameAllocator());
                    expected.SetSize(250, 150);
                    actual.SetSize(250, 150);
                    FillNoise(expected, static_cast<unsigned>(paint));
                    FillNoise(actual, static_cast<unsigned>(paint));
                    ASSERT_TRUE(desktop.DrawPointer(shape, expected, PointerImageCorner(shape, in),
                                                    PointerImageSize(in)));
                    image.Draw(shape, actual, in);
                    for (int y = 0; y < 150; ++y)
                        for (int x = 0; x < 250; ++x)
                            ASSERT_EQ(actual.PixelAt(x, y), expected.PixelAt(x, y))
                                << "paint " << paint << " at " << x << "," << y;
                }
                EXPECT_TRUE(image.AppliedLearnt());
            }
}

} // namespace
} // namespace lupenta::win32
