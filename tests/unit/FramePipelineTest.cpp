#include "view/FramePipeline.h"

#include "HeapCount.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace lupenta {
namespace {

constexpr int kZooms[] = {1, 2, 3, 4, 5, 6, 8, 10, 12, 16, 20, 24, 28, 32, 36, 40};

// Every byte value turns up, so rounding in the smooth filter and the complement both show.
void Fill(Bitmap24& frame, int width, int height, std::uint32_t seed) {
    frame.SetSize(width, height);
    std::uint32_t state = seed * 2654435761u + 12345u;
    for (int y = 0; y < height; ++y)
        for (int i = 0; i < frame.Stride(); ++i) {
            state = state * 1664525u + 1013904223u;
            frame.Row(y)[i] = static_cast<std::uint8_t>(state >> 24);
        }
}

struct Case {
    int width = 61; // the display rectangle and the output frame
    int height = 37;
    int zoom = 4;
    int sourceExtra = 0; // source pixels beyond what covers the frame; negative leaves a strip
    ZoomedPaint paint;
    Pen pen;

    std::string Describe() const {
        const OverlayInput& in = paint.overlay;
        std::ostringstream s;
        s << width << "x" << height << " z" << zoom << " extra " << sourceExtra << " G"
          << in.gridlevel << " L" << in.leftOffset << " T" << in.topOffset << " screen "
          << in.screenLeft << "," << in.screenTop << " view " << in.viewWidth << "x"
          << in.viewHeight << " display " << in.displayWidth << "x" << in.displayHeight
          << (paint.smooth ? " smooth" : "") << (paint.drawCross ? " cross" : "")
          << (in.drawGrid ? " drawgrid" : "") << (in.fixedGrid ? " fixed" : "")
          << (paint.flipHorizontal ? " fliph" : "") << (paint.flipVertical ? " flipv" : "")
          << (paint.invert ? " invert" : "") << " pen " << pen.colour
          << (pen.op == RasterOp::Invert ? " invert" : " copy");
        return s.str();
    }
};

Case MakeCase(int width, int height, int zoom) {
    Case c;
    c.width = width;
    c.height = height;
    c.zoom = zoom;
    OverlayInput& in = c.paint.overlay;
    in.zoom = zoom;
    in.viewWidth = width;
    in.viewHeight = height;
    in.displayWidth = width;
    in.displayHeight = height;
    const int sw = (width + zoom - 1) / zoom;
    const int sh = (height + zoom - 1) / zoom;
    in.leftOffset = sw / 2;
    in.topOffset = sh / 2;
    in.gridlevel = 5;
    return c;
}

::testing::AssertionResult SameFrames(const Bitmap24& expected, const Bitmap24& actual) {
    if (expected.Width() != actual.Width() || expected.Height() != actual.Height())
        return ::testing::AssertionFailure() << "sizes differ";
    for (int y = 0; y < expected.Height(); ++y)
        for (int i = 0; i < expected.Stride(); ++i)
            if (expected.Row(y)[i] != actual.Row(y)[i])
                return ::testing::AssertionFailure()
                       << "first difference at pixel (" << i / 3 << ", " << y << ") byte " << i % 3
                       << ": " << int{expected.Row(y)[i]} << " expected, " << int{actual.Row(y)[i]}
                       << " found";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult SamePens(const Pen& expected, const Pen& actual) {
    if (expected.colour == actual.colour && expected.op == actual.op)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pens differ";
}

// Every kernel set the machine runs, each writing through the caches and partly or wholly past
// them.
struct Variant {
    KernelSet set;
    bool streaming;
};

std::vector<Variant> Variants() {
    std::vector<Variant> variants;
    for (KernelSet set : {KernelSet::Portable, KernelSet::Sse2, KernelSet::Ssse3, KernelSet::Avx2,
                          KernelSet::Avx512, KernelSet::Avx512Vbmi})
        if (set == KernelSet::Portable ||
            std::string(FramePipeline(set).KernelName()) != "portable")
            for (bool streaming : {false, true})
                variants.push_back({set, streaming});
    return variants;
}

const std::vector<Variant>& AllVariants() {
    static const std::vector<Variant> variants = Variants();
    return variants;
}

// Streaming, a 61x37 frame at zoom 4 has about half its rows written past the caches, spread
// among the others; a frame whose source alone passes the budget has all of them.
constexpr std::size_t kStreamingCacheBudget = 4096;

FramePipeline MakePipeline(const Variant& variant) {
    FramePipeline pipeline(variant.set);
    if (variant.streaming)
        pipeline.SetStreaming(0, kStreamingCacheBudget);
    return pipeline;
}

// Frames whose rows start at a chosen offset within a cache line, as frames in the program
// may, since the kernels place their stores by where the rows lie.
class OffsetAllocator final : public PixelAllocator {
public:
    explicit OffsetAllocator(int offset) : offset_(offset) {}
    std::unique_ptr<PixelStore> Allocate(int, int height, int stride) override {
        return std::make_unique<Store>(static_cast<std::size_t>(height) * stride, offset_);
    }

private:
    class Store final : public PixelStore {
    public:
        Store(std::size_t bytes, int offset) : bytes_(bytes + 128) {
            const auto address = reinterpret_cast<std::uintptr_t>(bytes_.data());
            bits_ = bytes_.data() + ((64 - address % 64) % 64) + offset;
        }
        std::uint8_t* Bits() override { return bits_; }

    private:
        std::vector<std::uint8_t> bytes_;
        std::uint8_t* bits_;
    };
    int offset_;
};

// Also runs the paint split where the pointer image goes, with a square standing in for it.
::testing::AssertionResult Matches(const Case& c, bool split,
                                   PixelAllocator& frames = HeapPixelAllocator()) {
    const int sw = (c.width + c.zoom - 1) / c.zoom + c.sourceExtra;
    const int sh = (c.height + c.zoom - 1) / c.zoom + c.sourceExtra;
    Bitmap24 src;
    Fill(src, std::max(sw, 0), std::max(sh, 0), 1);
    Bitmap24 expected;
    Fill(expected, c.width, c.height, 2);
    Pen expectedPen = c.pen;
    RenderZoomedReference(src, expected, expectedPen, c.paint);

    Bitmap24 expectedSplit;
    Pen expectedSplitPen = c.pen;
    auto pointer = [](Bitmap24& frame) {
        for (int y = 1; y < frame.Height() && y < 9; ++y)
            for (int x = 2; x < frame.Width() && x < 12; ++x)
                frame.SetPixel(x, y, 0x00FF00);
    };
    if (split) {
        Fill(expectedSplit, c.width, c.height, 2);
        ScaleZoomedReference(src, expectedSplit, c.paint);
        pointer(expectedSplit);
        FinishZoomedReference(expectedSplit, expectedSplitPen, c.paint);
    }

    for (const Variant& variant : AllVariants()) {
        FramePipeline pipeline = MakePipeline(variant);
        const std::string name =
            std::string(pipeline.KernelName()) + (variant.streaming ? " streaming" : "") + ": ";
        Bitmap24 actual(frames);
        Fill(actual, c.width, c.height, 2);
        Pen pen = c.pen;
        pipeline.Render(src, actual, pen, c.paint);
        if (auto same = SameFrames(expected, actual); !same)
            return same << " (" << name << "render)";
        if (auto same = SamePens(expectedPen, pen); !same)
            return same << " (" << name << "render)";
        if (!split)
            continue;
        Fill(actual, c.width, c.height, 2);
        pen = c.pen;
        pipeline.Scale(src, actual, c.paint);
        pointer(actual);
        pipeline.Finish(actual, pen, c.paint);
        if (auto same = SameFrames(expectedSplit, actual); !same)
            return same << " (" << name << "split)";
        if (auto same = SamePens(expectedSplitPen, pen); !same)
            return same << " (" << name << "split)";
    }
    return ::testing::AssertionSuccess();
}

// Every switch and every pen the frame may have kept from earlier paints, at every zoom.
TEST(FramePipeline, MatchesTheReferenceForEveryFlagAndPen) {
    const Pen pens[] = {
        {kBlack, RasterOp::Copy}, {kBlack, RasterOp::Invert}, {kRed, RasterOp::Copy}};
    for (int zoom : kZooms)
        for (int flags = 0; flags < 128; ++flags)
            for (const Pen& pen : pens) {
                Case c = MakeCase(61, 37, zoom);
                c.paint.smooth = flags & 1;
                c.paint.drawCross = flags & 2;
                c.paint.overlay.drawGrid = flags & 4;
                c.paint.overlay.fixedGrid = flags & 8;
                c.paint.flipHorizontal = flags & 16;
                c.paint.flipVertical = flags & 32;
                c.paint.invert = flags & 64;
                c.paint.overlay.screenLeft = 103;
                c.paint.overlay.screenTop = -58;
                c.pen = pen;
                ASSERT_TRUE(Matches(c, true)) << c.Describe();
            }
}

// Odd widths with padded rows, every grid spacing, and hot pixels inside, on the edge and
// far outside the capture.
TEST(FramePipeline, MatchesTheReferenceForEverySizeGridAndOffset) {
    const int sizes[][2] = {{1, 1}, {2, 3}, {7, 5}, {13, 11}, {61, 37}, {100, 64}, {129, 67}};
    const int grids[] = {0, 1, 5, 10, 20, 50};
    struct Offset {
        int left, top, screenLeft, screenTop;
    };
    const Offset offsets[] = {
        {0, 0, 0, 0}, {3, 2, 17, -9}, {-1, -2, -31, 44}, {50, 40, 5, 5}, {-1000, 700, -3, 2}};
    for (const auto& size : sizes)
        for (int zoom : kZooms)
            for (int grid : grids)
                for (const Offset& offset : offsets)
                    for (int mode = 0; mode < 3; ++mode) {
                        Case c = MakeCase(size[0], size[1], zoom);
                        OverlayInput& in = c.paint.overlay;
                        in.gridlevel = grid;
                        in.leftOffset = offset.left;
                        in.topOffset = offset.top;
                        in.screenLeft = offset.screenLeft;
                        in.screenTop = offset.screenTop;
                        in.fixedGrid = offset.screenLeft % 2 != 0;
                        // A border around the display moves the grid by half its width.
                        in.viewWidth = size[0] + 2 * (offset.top & 1);
                        in.viewHeight = size[1] + 2 * (offset.top & 1);
                        if (mode > 0) {
                            c.paint.smooth = mode == 2;
                            c.paint.drawCross = true;
                            c.paint.flipHorizontal = true;
                            c.paint.flipVertical = true;
                            c.paint.invert = true;
                            c.pen = {kBlack, RasterOp::Invert};
                        }
                        ASSERT_TRUE(Matches(c, false)) << c.Describe();
                    }
}

// Rows a whole number of cache lines long, which the widest kernels write line by line: every
// offset of the rows within a line, each zoom, with and without every overlay and flag. At a
// zoom that divides 64 the wider rows repeat every three lines, which a kernel may write a
// period at a time.
TEST(FramePipeline, MatchesTheReferenceWhenRowsFillWholeCacheLines) {
    const int sizes[][2] = {{64, 9}, {128, 31}, {192, 16}, {640, 3}};
    for (int offset : {0, 4, 12, 32, 60})
        for (const auto& size : sizes)
            for (int zoom : kZooms)
                for (int flags = 0; flags < 32; ++flags) {
                    Case c = MakeCase(size[0], size[1], zoom);
                    c.sourceExtra = flags & 1 ? 3 : 0;
                    c.paint.drawCross = flags & 2;
                    c.paint.flipHorizontal = flags & 4;
                    c.paint.flipVertical = flags & 8;
                    c.paint.invert = flags & 16;
                    c.paint.overlay.drawGrid = flags & 2;
                    c.pen = flags & 4 ? Pen{kBlack, RasterOp::Invert} : Pen{kRed, RasterOp::Copy};
                    OffsetAllocator frames(offset);
                    ASSERT_TRUE(Matches(c, true, frames)) << c.Describe() << " offset " << offset;
                }
}

// A paint with nothing drawn and nothing inverted is written in one call, cell by cell in
// output order: mirrored vertically, the cell that the frame cuts short comes first.
TEST(FramePipeline, MatchesTheReferenceForPlainPaintsInEveryMirror) {
    for (int zoom : kZooms)
        for (int height : {37, 48})
            for (int flags = 0; flags < 8; ++flags) {
                Case c = MakeCase(640, height, zoom);
                c.paint.overlay.gridlevel = 0;
                c.paint.flipHorizontal = flags & 1;
                c.paint.flipVertical = flags & 2;
                c.sourceExtra = flags & 4 ? 2 : 0;
                ASSERT_TRUE(Matches(c, true)) << c.Describe();
            }
}

// A source too small to cover the frame leaves a strip that the mirrors still move; one that
// is larger is cut off; a display that is not the frame is drawn as the steps would.
TEST(FramePipeline, MatchesTheReferenceForUncoveredFramesAndOtherDisplays) {
    struct Shape {
        int sourceExtra, displayWidth, displayHeight;
    };
    const Shape shapes[] = {{-1, 0, 0}, {-3, 0, 0}, {2, 0, 0}, {0, -5, 0}, {0, 7, 3}, {0, 0, -36}};
    for (const Shape& shape : shapes)
        for (int zoom : {1, 2, 5, 8})
            for (int mode = 0; mode < 4; ++mode) {
                Case c = MakeCase(45, 36, zoom);
                c.sourceExtra = shape.sourceExtra;
                c.paint.overlay.displayWidth += shape.displayWidth;
                c.paint.overlay.displayHeight += shape.displayHeight;
                c.paint.smooth = mode & 1;
                c.paint.flipHorizontal = mode & 2;
                c.paint.flipVertical = true;
                c.paint.invert = true;
                c.paint.drawCross = true;
                ASSERT_TRUE(Matches(c, true)) << c.Describe();
            }
}

// The pen a frame keeps carries the crosshair's mode into the next paint's grid; a paint that
// repeats the one before with the same pen reuses its plan.
TEST(FramePipeline, CarriesThePenFromPaintToPaintAsTheReferenceDoes) {
    struct Step {
        bool cross, drawGrid;
        int grid;
    };
    const Step steps[] = {{false, false, 5}, {true, false, 5}, {true, false, 5}, {true, false, 5},
                          {false, false, 5}, {true, true, 5},  {false, true, 5}, {false, true, 5},
                          {true, true, 0},   {true, false, 5}, {false, false, 5}};
    Pen expectedPen;
    std::vector<FramePipeline> pipelines;
    std::vector<Pen> pens;
    for (const Variant& variant : AllVariants()) {
        pipelines.push_back(MakePipeline(variant));
        pens.emplace_back();
    }
    for (const Step& step : steps) {
        Case c = MakeCase(80, 60, 4);
        c.paint.drawCross = step.cross;
        c.paint.overlay.drawGrid = step.drawGrid;
        c.paint.overlay.gridlevel = step.grid;
        Bitmap24 src;
        Fill(src, 20, 15, 3);
        Bitmap24 expected;
        expected.SetSize(80, 60);
        RenderZoomedReference(src, expected, expectedPen, c.paint);
        for (std::size_t v = 0; v < pipelines.size(); ++v) {
            SCOPED_TRACE(pipelines[v].KernelName());
            Bitmap24 actual;
            actual.SetSize(80, 60);
            pipelines[v].Render(src, actual, pens[v], c.paint);
            ASSERT_TRUE(SameFrames(expected, actual)) << c.Describe();
            ASSERT_TRUE(SamePens(expectedPen, pens[v])) << c.Describe();
        }
    }
}

// A view that keeps still is painted with the same tables, plan and rows frame after frame:
// once it has settled, a paint takes nothing from the heap, whichever kernels run it. The last
// paint draws nothing and inverts nothing, which is written in one call.
TEST(FramePipeline, ASteadyViewPaintsWithoutAllocating) {
    for (int paint = 0; paint < 3; ++paint) {
        const bool plain = paint == 2;
        Case c = MakeCase(300, 200, plain ? 4 : 3);
        c.paint.smooth = paint == 1;
        c.paint.drawCross = !plain;
        c.paint.flipHorizontal = true;
        c.paint.invert = !plain;
        if (plain)
            c.paint.overlay.gridlevel = 0;
        Bitmap24 src;
        Fill(src, 100, 67, 5);
        for (const Variant& variant : AllVariants()) {
            SCOPED_TRACE(FramePipeline(variant.set).KernelName());
            FramePipeline pipeline = MakePipeline(variant);
            Bitmap24 frame;
            frame.SetSize(300, 200);
            Pen pen;
            pipeline.Render(src, frame, pen, c.paint);
            pipeline.Render(src, frame, pen, c.paint);
            testing::HeapCount heap;
            pipeline.Render(src, frame, pen, c.paint);
            EXPECT_EQ(heap.Allocations(), 0) << c.Describe();
        }
    }
}

// A full-HD frame with the pipeline's own choice of writing through the caches or past them.
TEST(FramePipeline, MatchesTheReferenceOnAFullHdFrame) {
    for (bool smooth : {false, true}) {
        Case c = MakeCase(1920, 1080, 4);
        c.paint.smooth = smooth;
        c.paint.drawCross = true;
        c.paint.flipHorizontal = true;
        c.paint.flipVertical = true;
        c.paint.invert = true;
        const int sw = 480, sh = 270;
        Bitmap24 src;
        Fill(src, sw, sh, 4);
        Bitmap24 expected;
        expected.SetSize(1920, 1080);
        Pen expectedPen{kBlack, RasterOp::Invert};
        RenderZoomedReference(src, expected, expectedPen, c.paint);
        FramePipeline pipeline;
        Bitmap24 actual;
        actual.SetSize(1920, 1080);
        Pen pen{kBlack, RasterOp::Invert};
        pipeline.Render(src, actual, pen, c.paint);
        ASSERT_TRUE(SameFrames(expected, actual)) << c.Describe();
    }
}

} // namespace
} // namespace lupenta
