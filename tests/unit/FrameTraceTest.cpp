#include "view/FrameTrace.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace lupenta {
namespace {

class FakeClock : public TraceClock {
public:
    std::int64_t now = 5000;
    std::int64_t Microseconds() override { return now; }
};

// Keeps what was written, and what had been flushed at the last flush.
class FakeOutput : public TraceOutput {
public:
    std::string written;
    std::string flushed;
    void Write(const std::string& text) override { written += text; }
    void Flush() override { flushed = written; }

    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::istringstream in(written);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
};

class FrameTraceTest : public ::testing::Test {
protected:
    // One tick: `tick` us in the timer's handler, a wait, then a paint of capture, pixel
    // work and present taking the given microseconds.
    void Frame(int tick, int capture, int pixels, int present, bool presented = true) {
        trace.StartTick();
        clock.now += tick;
        trace.Lap(FrameStage::Rest);
        clock.now += 700; // the message loop's wait for the paint
        trace.StartPaint();
        clock.now += capture;
        trace.Lap(FrameStage::Capture);
        clock.now += pixels;
        trace.Lap(FrameStage::Pixels);
        clock.now += present;
        trace.Lap(FrameStage::Present);
        trace.EndPaint(presented);
    }

    FakeClock clock;
    FakeOutput output;
    FrameTrace trace{clock, output};
};

TEST_F(FrameTraceTest, EachTickIsOneLineOfItsStagesAfterTheHeader) {
    clock.now += 100;
    Frame(30, 200, 150, 90);
    Frame(25, 180, 0, 0, false);
    const auto lines = output.Lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0] + "\n", FrameTrace::kHeader);
    EXPECT_EQ(lines[1], "100 200 150 90 30 1 0.0");
    EXPECT_EQ(lines[2], "1270 180 0 0 25 0 0.0");
}

TEST_F(FrameTraceTest, TheHeaderIsOnDiskAtOnceAndTheLinesOnceASecond) {
    EXPECT_EQ(output.flushed, FrameTrace::kHeader);
    Frame(10, 10, 10, 10);
    EXPECT_EQ(output.flushed, FrameTrace::kHeader);
    clock.now += 1000000;
    Frame(10, 10, 10, 10);
    EXPECT_EQ(output.flushed, output.written);
}

TEST_F(FrameTraceTest, TheRateIsTheFramesPresentedInTheLastFullSecond) {
    // Ticks 16 ms apart, of which every third presents nothing.
    for (int i = 0; i < 64; ++i) {
        const std::int64_t start = clock.now;
        Frame(10, 10, 10, 10, i % 3 != 0);
        clock.now = start + 16000;
    }
    const auto lines = output.Lines();
    // The tick that ends the first second (the 64th, 63 * 16 ms + 740 us in) shows the rate
    // of its 42 presents; the ones before it have none yet.
    ASSERT_EQ(lines.size(), 65u);
    EXPECT_EQ(lines[63].substr(lines[63].rfind(' ') + 1), "0.0");
    EXPECT_EQ(lines[64].substr(lines[64].rfind(' ') + 1), "41.6");
}

TEST_F(FrameTraceTest, ATickWithoutPaintAndAPaintWithoutTickAreLinesOfTheirOwn) {
    trace.StartTick(); // the window was hidden: the handler returned before asking to paint
    clock.now += 40;
    trace.Lap(FrameStage::Rest);
    clock.now += 16000;
    trace.StartTick();
    clock.now += 20;
    trace.Lap(FrameStage::Rest);
    // A system repaint the timer did not ask for, while the tick's own is still to come.
    trace.EndPaint(true);
    clock.now += 5000;
    trace.StartPaint();
    clock.now += 300;
    trace.Lap(FrameStage::Capture);
    trace.EndPaint(false);
    const auto lines = output.Lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], "0 0 0 0 40 0 0.0");
    EXPECT_EQ(lines[2], "16040 0 0 0 20 1 0.0");
    EXPECT_EQ(lines[3], "21060 300 0 0 0 0 0.0");
}

TEST(TraceFilePath, ARelativeNameLiesBesideTheProgram) {
    const struct {
        const char* requested;
        const char* expected;
    } cases[] = {
        {"trace.txt", "C:\\Tools\\trace.txt"},
        {"logs\\trace.txt", "C:\\Tools\\logs\\trace.txt"},
        {"D:\\trace.txt", "D:\\trace.txt"},
        {"\\\\server\\share\\trace.txt", "\\\\server\\share\\trace.txt"},
        {"/tmp/trace.txt", "/tmp/trace.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.requested);
        EXPECT_EQ(TraceFilePath(c.requested, "C:\\Tools", '\\'), c.expected);
    }
}

} // namespace
} // namespace lupenta
