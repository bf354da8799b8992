#include "support/FakeDesktop.h"
#include "support/FakeView.h"
#include "view/VwImage.h"

#include <gtest/gtest.h>

namespace lupenta {
namespace {

using testing::FakeDesktop;
using testing::FakeViewPeer;

// Frames are reused: once the first paint has sized them, painting again at the same size
// allocates no pixel memory, whatever the view shows and wherever it looks.
TEST(ViewAllocation, PaintsAtAStableSizeAllocateNothingAfterTheFirst) {
    FakeDesktop desktop;
    desktop.pointerShape = PointerShape{{3, 3}, 1};
    FakeViewPeer peer;
    TImageView view(desktop);
    view.SetBounds(Rect::FromSize(0, 0, 468, 253));
    view.SetZoom(4);
    view.SetGridlevel(5);
    view.SetDrawCross(true);
    view.SetBorderColor(kSilver);
    view.Paint(peer);
    const int afterFirst = desktop.allocations;
    EXPECT_GT(afterFirst, 0);

    for (int i = 0; i < 16; ++i) {
        SCOPED_TRACE(i);
        view.SetScreenLeft(900 + i * 7);
        view.SetScreenTop(400 - i * 3);
        view.SetLeftOffset(i * 9 % 117);
        view.SetTopOffset(i * 5 % 63);
        view.SetSmoothen(i & 1);
        view.SetFlipHorizontal(i & 2);
        view.SetFlipVertical(i & 4);
        view.SetInvert(i & 8);
        view.SetShowCursor(i % 3 == 0);
        view.SetFixedGrid(i % 5 == 0);
        view.Paint(peer);
        EXPECT_EQ(desktop.allocations, afterFirst);
    }
    EXPECT_EQ(peer.presents, 17);
}

// The count does move when it should, so the test above is not vacuous.
TEST(ViewAllocation, ANewSizeOrZoomResizesTheFrames) {
    FakeDesktop desktop;
    FakeViewPeer peer;
    TImageView view(desktop);
    view.SetBounds(Rect::FromSize(0, 0, 468, 253));
    view.SetZoom(4);
    view.Paint(peer);
    const int afterFirst = desktop.allocations;
    view.SetZoom(5);
    view.Paint(peer);
    EXPECT_GT(desktop.allocations, afterFirst);
    const int afterZoom = desktop.allocations;
    view.SetBounds(Rect::FromSize(0, 0, 300, 200));
    view.Paint(peer);
    EXPECT_GT(desktop.allocations, afterZoom);
}

} // namespace
} // namespace lupenta
