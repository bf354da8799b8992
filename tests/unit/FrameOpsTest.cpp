#include "view/FrameOps.h"

#include <gtest/gtest.h>

namespace lupenta {
namespace {

Bitmap24 Pattern(int width, int height) {
    Bitmap24 frame;
    frame.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            frame.SetPixel(x, y, MakeColour(x * 10, y * 10, x + y));
    return frame;
}

TEST(FrameOps, ReplicationCoversEachCellAndClipsTheLastColumn) {
    // 468 pixels at zoom 5 need 94 source columns; the last is drawn 3 pixels wide.
    Bitmap24 src = Pattern(94, 2);
    Bitmap24 dst;
    dst.SetSize(468, 10);
    ScaleReplicate(src, dst, 5);
    for (int x : {0, 4, 5, 464, 465, 467}) {
        SCOPED_TRACE(x);
        EXPECT_EQ(dst.PixelAt(x, 0), src.PixelAt(x / 5, 0));
        EXPECT_EQ(dst.PixelAt(x, 9), src.PixelAt(x / 5, 1));
    }
}

TEST(FrameOps, LinesLeaveOutTheirEndPoint) {
    Bitmap24 frame = Pattern(8, 8);
    const Colour before = frame.PixelAt(5, 2);
    DrawLine(frame, {1, 2}, {5, 2}, Pen{kRed, RasterOp::Copy});
    EXPECT_EQ(frame.PixelAt(1, 2), kRed);
    EXPECT_EQ(frame.PixelAt(4, 2), kRed);
    EXPECT_EQ(frame.PixelAt(5, 2), before);
}

TEST(FrameOps, MirroringBothWaysTurnsTheImageHalfRound) {
    Bitmap24 frame = Pattern(5, 3);
    const Bitmap24 original = Pattern(5, 3);
    MirrorLeftRight(frame);
    MirrorTopBottom(frame);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(frame.PixelAt(x, y), original.PixelAt(4 - x, 2 - y));
}

} // namespace
} // namespace lupenta
