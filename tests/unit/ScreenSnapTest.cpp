#include "main/ScreenSnap.h"

#include <gtest/gtest.h>

namespace lupenta {
namespace {

TEST(SnapToEdges, PullsAWindowWithinTenPixelsOntoTheEdge) {
    const Rect work{0, 0, 1920, 1040};
    const struct {
        Rect window;
        Point expected;
    } cases[] = {
        {Rect::FromSize(9, 500, 470, 311), {0, 500}},
        {Rect::FromSize(10, 500, 470, 311), {10, 500}},
        {Rect::FromSize(-9, -9, 470, 311), {0, 0}},
        {Rect::FromSize(1920 - 470 + 9, 1040 - 311 - 9, 470, 311), {1450, 729}},
        {Rect::FromSize(700, 400, 470, 311), {700, 400}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SnapToEdges(c.window, work, 10), c.expected) << c.window.left;
}

} // namespace
} // namespace lupenta
