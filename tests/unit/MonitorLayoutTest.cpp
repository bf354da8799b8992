#include "platform/MonitorLayout.h"

#include <gtest/gtest.h>

namespace lupenta {
namespace {

TEST(MonitorLayout, NearestHoldsThePointOrLiesClosestToIt) {
    const Rect left{-1280, 56, 0, 1080};
    const Rect primary{0, 0, 1920, 1080};
    const Rect above{0, -1200, 1920, 0};
    const MonitorLayout layout{{-1280, -1200, 1920, 1080}, {left, primary, above}};
    const struct {
        Point p;
        Rect expected;
    } cases[] = {
        {{0, 0}, primary},
        {{-1, 500}, left},
        {{1919, 1079}, primary},
        {{5, -1}, above},
        // In the gap above the left monitor: 30 pixels from the primary, 36 from the left one.
        {{-30, 20}, primary},
        {{-300, 20}, left},
        {{5000, 500}, primary},
        {{-100, -100}, above},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.p.x << "," << c.p.y);
        EXPECT_EQ(layout.Nearest(c.p), c.expected);
    }
    EXPECT_EQ(MonitorLayout{}.Nearest({0, 0}), std::nullopt);
}

} // namespace
} // namespace lupenta
