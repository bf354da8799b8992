#include "main/SamplingTick.h"

#include <gtest/gtest.h>

#include <ostream>

namespace lupenta {
namespace {

constexpr Rect kFullHd{0, 0, 1920, 1080};

struct PlacementCase {
    const char* name;
    Point source;
    Point displacement;
    CapturePlacement expected;
};

// Cases are named in the test list and in failures by their name, not by their bytes.
void PrintTo(const PlacementCase& c, std::ostream* out) {
    *out << c.name;
}

class PlaceCaptureTest : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(PlaceCaptureTest, CentresTheSourceWithinTheDesktop) {
    const PlacementCase& c = GetParam();
    // View 468 x 253 at zoom 4: 117 x 63 whole source pixels.
    EXPECT_EQ(PlaceCapture({c.source, c.displacement, kFullHd, 468, 253, 4}), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlaceCaptureTest,
    ::testing::Values(PlacementCase{"middle", {1000, 500}, {0, 0}, {942, 469, 58, 31}},
                      PlacementCase{"top_left_corner", {10, 10}, {0, 0}, {0, 0, 10, 10}},
                      PlacementCase{
                          "bottom_right_corner", {1919, 1079}, {0, 0}, {1803, 1017, 116, 62}},
                      PlacementCase{"fixed_location", {500, 400}, {20, -10}, {442, 369, 78, 21}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PlaceCapture, NegativeDesktopOriginTruncatesTowardZero) {
    const Rect desktop{-1920, -200, 1920, 1080};
    EXPECT_EQ(PlaceCapture({{-1915, -190}, {0, 0}, desktop, 468, 253, 4}),
              (CapturePlacement{-1920, -200, 5, 10}));
}

TEST(MonitorOffsets, AreTheFarEdgeOfMonitorsAwayFromThePrimaryEdge) {
    EXPECT_EQ(MonitorOffsets({0, 0, 1920, 1080}), (Point{0, 0}));
    EXPECT_EQ(MonitorOffsets({-1920, 0, 0, 1080}), (Point{0, 0}));
    EXPECT_EQ(MonitorOffsets({1920, 0, 3840, 1080}), (Point{3840, 0}));
    EXPECT_EQ(MonitorOffsets({0, -1080, 1920, 0}), (Point{0, 0}));
}

struct AwayCase {
    const char* name;
    Point pointer;
    std::vector<Rect> monitors;
    Point expected;
};

void PrintTo(const AwayCase& c, std::ostream* out) {
    *out << c.name;
}

class PlaceAwayTest : public ::testing::TestWithParam<AwayCase> {};

TEST_P(PlaceAwayTest, TakesTheFirstCandidateThatFits) {
    const AwayCase& c = GetParam();
    // A window of 470 x 311 outer pixels on the pointer's monitor, the first in the list.
    EXPECT_EQ(PlaceAwayFromPointer(c.pointer, c.monitors.front(), 470, 311, c.monitors),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlaceAwayTest,
    ::testing::Values(
        AwayCase{"right", {500, 500}, {kFullHd}, {650, 345}},
        AwayCase{"left_near_right_edge", {1800, 500}, {kFullHd}, {1180, 345}},
        AwayCase{
            "above_when_both_sides_are_too_narrow", {500, 700}, {{0, 0, 1000, 1080}}, {265, 239}},
        AwayCase{"below_near_the_top", {500, 20}, {{0, 0, 1000, 1080}}, {265, 170}},
        AwayCase{"another_monitor_when_nothing_fits",
                 {200, 200},
                 {{0, 0, 600, 500}, kFullHd},
                 {725, 384}},
        AwayCase{
            "centred_on_its_own_monitor_when_alone", {200, 200}, {{0, 0, 600, 500}}, {65, 94}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace lupenta
