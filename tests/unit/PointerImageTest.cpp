#include "view/PointerImage.h"
#include "support/FakeDesktop.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <utility>

namespace lupenta {
namespace {

// Cursors drawn the way GDI draws them, stretched by repeating pixels. Each handle is a kind.
enum Cursor : std::uintptr_t {
    kMasked = 1, // opaque colour, inverting, coloured-XOR and transparent pixels
    kAlpha = 2,  // premultiplied colour over a partly transparent background
    kCurve = 3,  // squares what lies beneath: neither a mask nor a blend
    kBroken = 4, // the platform cannot draw it
};

class CursorDesktop : public testing::FakeDesktop {
public:
    int draws = 0;

    bool DrawPointer(const PointerShape& shape, Bitmap24& frame, Point at, int size) override {
        ++draws;
        if (shape.handle == kBroken)
            return false;
        for (int y = std::max(at.y, 0); y < std::min(at.y + size, frame.Height()); ++y)
            for (int x = std::max(at.x, 0); x < std::min(at.x + size, frame.Width()); ++x) {
                const int u = (x - at.x) * 32 / size;
                const int v = (y - at.y) * 32 / size;
                std::uint8_t* bytes = frame.Row(y) + x * 3;
                for (int c = 0; c < 3; ++c)
                    bytes[c] = Drawn(static_cast<Cursor>(shape.handle), u, v, c, bytes[c]);
            }
        return true;
    }

private:
    static std::uint8_t Drawn(Cursor cursor, int u, int v, int c, std::uint8_t b) {
        const auto colour = static_cast<std::uint8_t>(u * 8 + v * 3 + c * 50);
        switch (cursor) {
        case kMasked:
            if (u + v < 12)
                return colour;
            if (u < 16 && v < 16)
                return static_cast<std::uint8_t>(~b);
            if (v > 24)
                return b ^ colour;
            return b;
        case kAlpha: {
            const int alpha = (u * 37 + v * 11) % 256;
            const int over = colour * alpha / 255;
            return static_cast<std::uint8_t>(over + (b * (255 - alpha) + 127) / 255);
        }
        case kCurve:
            return u < 10 ? static_cast<std::uint8_t>(b * b / 255) : b;
        default:
            return b;
        }
    }
};

Bitmap24 Noise(int width, int height, unsigned seed) {
    std::mt19937 random(seed);
    Bitmap24 frame;
    frame.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * 3; ++x)
            frame.Row(y)[x] = static_cast<std::uint8_t>(random());
    return frame;
}

::testing::AssertionResult SameFrames(const Bitmap24& expected, const Bitmap24& actual) {
    for (int y = 0; y < expected.Height(); ++y)
        for (int x = 0; x < expected.Width(); ++x)
            if (expected.PixelAt(x, y) != actual.PixelAt(x, y))
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is " << std::hex << actual.PixelAt(x, y)
                       << ", drawn directly " << expected.PixelAt(x, y);
    return ::testing::AssertionSuccess();
}

OverlayInput At(int zoom, int leftOffset, int topOffset) {
    OverlayInput in;
    in.zoom = zoom;
    in.leftOffset = leftOffset;
    in.topOffset = topOffset;
    return in;
}

// Paint after paint, whether the image is drawn by the desktop, learnt or applied, the frame
// ends as the desktop's own drawing leaves it: every kind of cursor, at several zooms, whole
// or cut off by any edge of the frame, or wholly outside it.
TEST(PointerImage, LeavesEveryFrameAsTheDesktopsDrawingDoes) {
    constexpr int kWidth = 97;
    constexpr int kHeight = 61;
    const Point hotSpot{4, 2};
    for (Cursor cursor : {kMasked, kAlpha, kCurve, kBroken})
        for (int zoom : {1, 3, 8})
            for (Point offset : {Point{20, 12}, Point{1, 0}, Point{kWidth / zoom - 2, 5},
                                 Point{9, kHeight / zoom - 1}, Point{-40, 30}}) {
                SCOPED_TRACE(::testing::Message() << "cursor " << cursor << " zoom " << zoom
                                                  << " offset " << offset.x << "," << offset.y);
                CursorDesktop desktop;
                PointerImage image(desktop);
                const PointerShape shape{hotSpot, cursor};
                const OverlayInput in = At(zoom, offset.x, offset.y);
                for (int paint = 0; paint < PointerImage::kPaintsToLearn + 2; ++paint) {
                    Bitmap24 expected = Noise(kWidth, kHeight, static_cast<unsigned>(paint));
                    Bitmap24 actual = Noise(kWidth, kHeight, static_cast<unsigned>(paint));
                    desktop.DrawPointer(shape, expected, PointerImageCorner(shape, in),
                                        PointerImageSize(in));
                    image.Draw(shape, actual, in);
                    ASSERT_TRUE(SameFrames(expected, actual)) << "paint " << paint;
                }
            }
}

// The desktop draws the image until it has stayed put for some paints; the next paint learns
// it over three backgrounds, and from then on the desktop is not asked again for that cursor,
// zoom and place. A cursor that cannot be learnt is drawn by the desktop every time, with no
// further attempts to learn it.
TEST(PointerImage, AsksTheDesktopOnlyUntilAPlacementIsLearnt) {
    CursorDesktop desktop;
    PointerImage image(desktop);
    Bitmap24 frame = Noise(120, 90, 1);
    auto draws = [&](Cursor cursor, int zoom, int leftOffset) {
        const int before = desktop.draws;
        image.Draw(PointerShape{{0, 0}, cursor}, frame, At(zoom, leftOffset, 8));
        return desktop.draws - before;
    };
    auto settle = [&](Cursor cursor, int zoom, int leftOffset) {
        for (int paint = 1; paint < PointerImage::kPaintsToLearn; ++paint)
            EXPECT_EQ(draws(cursor, zoom, leftOffset), 1) << "paint " << paint;
    };
    settle(kMasked, 4, 10);
    EXPECT_EQ(draws(kMasked, 4, 10), 3);
    EXPECT_EQ(draws(kMasked, 4, 10), 0);
    EXPECT_EQ(draws(kMasked, 4, 10), 0);

    // Moving every few paints, as at a screen edge, it is never learnt.
    for (int leftOffset = 11; leftOffset < 15; ++leftOffset)
        for (int paint = 0; paint < PointerImage::kPaintsToLearn / 2; ++paint)
            EXPECT_EQ(draws(kMasked, 4, leftOffset), 1);

    for (auto [cursor, zoom] : {std::pair{kAlpha, 4}, std::pair{kAlpha, 5}}) {
        settle(cursor, zoom, 12);
        EXPECT_EQ(draws(cursor, zoom, 12), 3);
        EXPECT_EQ(draws(cursor, zoom, 12), 0);
    }

    settle(kCurve, 5, 12);
    EXPECT_EQ(draws(kCurve, 5, 12), 4);
    EXPECT_EQ(draws(kCurve, 5, 12), 1);
    EXPECT_EQ(draws(kCurve, 5, 12), 1);

    // Back to an image learnt before, as the pointer goes from text to a link and back: the
    // last four are kept, the least recently used goes first.
    EXPECT_EQ(draws(kMasked, 4, 10), 0);
    EXPECT_EQ(draws(kAlpha, 5, 12), 0);
    settle(kAlpha, 6, 12);
    EXPECT_EQ(draws(kAlpha, 6, 12), 3);
    EXPECT_EQ(draws(kMasked, 4, 10), 0);
    EXPECT_EQ(draws(kAlpha, 4, 12), 1);
}

} // namespace
} // namespace lupenta
