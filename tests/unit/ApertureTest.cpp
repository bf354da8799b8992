#include "view/Aperture.h"
#include "support/FakeDesktop.h"
#include "support/FakeView.h"
#include "view/VwImage.h"

#include <gtest/gtest.h>

namespace lupenta {
namespace {

using testing::CoordinateColour;

Bitmap24 FrameOf(int width, int height, const std::function<Colour(int, int)>& colour) {
    Bitmap24 frame;
    frame.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            frame.SetPixel(x, y, colour(x, y));
    return frame;
}

struct MeanCase {
    const char* name;
    Point hot;
    int size;
    Colour expected;
};

TEST(Aperture, MeanRoundsEachChannelToNearestAndKeepsToTheCapture) {
    // Red is 0 or 255 in a checkerboard; green is the column, blue the row times 10.
    const Bitmap24 frame =
        FrameOf(8, 6, [](int x, int y) { return MakeColour((x + y) % 2 ? 255 : 0, x, 10 * y); });
    const Rect all = Rect::FromSize(0, 0, 8, 6);
    const MeanCase cases[] = {
        // One pixel is the pixel itself.
        {"single", {3, 2}, 1, MakeColour(255, 3, 20)},
        // 5 of 9 red: 1275 / 9 = 141.67 rounds up to 142.
        {"3x3 with more red", {3, 2}, 3, MakeColour(142, 3, 20)},
        // 4 of 9 red: 1020 / 9 = 113.33 rounds down.
        {"3x3 with less red", {2, 2}, 3, MakeColour(113, 2, 20)},
        // 12 of 25: 3060 / 25 = 122.4.
        {"5x5", {2, 2}, 5, MakeColour(122, 2, 20)},
        // Only the 2 x 2 inside the frame: 2 of 4 red, 127.5 rounds half up.
        {"corner", {0, 0}, 3, MakeColour(128, 1, 5)},
        {"far corner", {7, 5}, 3, MakeColour(128, 7, 45)},
    };
    for (const MeanCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ApertureMean(frame, all, c.hot, c.size), c.expected);
    }
    EXPECT_EQ(ApertureMean(frame, Rect::FromSize(3, 0, 5, 6), {2, 2}, 3), MakeColour(85, 3, 20))
        << "only the column inside the captured part is averaged: 1 of 3 red";
    EXPECT_EQ(ApertureMean(frame, Rect::FromSize(5, 0, 3, 6), {2, 2}, 3), std::nullopt);
}

// The pixels of `frame` that differ from `before`, as a picture of '#' and '.'.
std::string Changed(const Bitmap24& before, const Bitmap24& frame) {
    std::string picture;
    for (int y = 0; y < frame.Height(); ++y) {
        for (int x = 0; x < frame.Width(); ++x)
            picture += frame.PixelAt(x, y) != before.PixelAt(x, y) ? '#' : '.';
        picture += '\n';
    }
    return picture;
}

TEST(Aperture, OutlineLiesJustOutsideTheAveragedCellsAndFollowsTheMirrors) {
    const auto grey = [](int, int) { return MakeColour(100, 100, 100); };
    const Bitmap24 before = FrameOf(12, 10, grey);
    // Hot pixel (2, 2), zoom 2, 3 x 3: cells 1..3 cover pixels 2..7, so the outline runs on
    // pixels 1 and 8.
    EXPECT_EQ(ApertureOutline({2, 2}, 3, 2), (Rect{1, 1, 8, 8}));
    EXPECT_EQ(ApertureOutline({10, 10}, 5, 1), (Rect{7, 7, 13, 13}));

    struct {
        bool flipH, flipV;
        const char* picture;
    } cases[] = {
        {false, false,
         "............\n"
         ".########...\n"
         ".#......#...\n"
         ".#......#...\n"
         ".#......#...\n"
         ".#......#...\n"
         ".#......#...\n"
         ".#......#...\n"
         ".########...\n"
         "............\n"},
        {true, true,
         "............\n"
         "...########.\n"
         "...#......#.\n"
         "...#......#.\n"
         "...#......#.\n"
         "...#......#.\n"
         "...#......#.\n"
         "...#......#.\n"
         "...########.\n"
         "............\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flipH);
        Bitmap24 frame = FrameOf(12, 10, grey);
        DrawApertureOutline(frame, ApertureOutline({2, 2}, 3, 2), c.flipH, c.flipV);
        EXPECT_EQ(Changed(before, frame), c.picture);
    }
}

TEST(Aperture, ViewAveragesAndOutlinesAtEveryZoom) {
    testing::FakeDesktop desktop;
    testing::FakeViewPeer peer;
    TImageView view{desktop};
    view.AttachPeer(&peer);
    view.SetBounds(Rect::FromSize(0, 0, 120, 80));
    view.SetGetcolor(true);
    view.SetScreenLeft(500);
    view.SetScreenTop(300);
    view.SetLeftOffset(10);
    view.SetTopOffset(8);
    int red = 0, green = 0, blue = 0;
    for (int y = 307; y <= 309; ++y)
        for (int x = 509; x <= 511; ++x) {
            red += RedOf(CoordinateColour(x, y));
            green += GreenOf(CoordinateColour(x, y));
            blue += BlueOf(CoordinateColour(x, y));
        }
    const Colour mean = MakeColour((2 * red + 9) / 18, (2 * green + 9) / 18, (2 * blue + 9) / 18);
    for (int zoom : {1, 2, 5}) {
        SCOPED_TRACE(zoom);
        view.SetZoom(static_cast<std::uint16_t>(zoom));
        view.SetSampleSize(1);
        view.Paint(peer);
        EXPECT_EQ(view.ScreenColor(), CoordinateColour(510, 308));
        const int corner = 9 * zoom - 1;
        const Colour plainCorner = peer.shown.PixelAt(corner, corner);
        const Colour plainHot = peer.shown.PixelAt(10 * zoom, 8 * zoom);
        view.SetSampleSize(3);
        view.Paint(peer);
        EXPECT_EQ(view.ScreenColor(), mean);
        EXPECT_EQ(peer.shown.PixelAt(corner, corner), ~plainCorner & 0xFFFFFF);
        EXPECT_EQ(peer.shown.PixelAt(10 * zoom, 8 * zoom), plainHot)
            << "the hot cell itself is left alone";
    }
}

} // namespace
} // namespace lupenta
