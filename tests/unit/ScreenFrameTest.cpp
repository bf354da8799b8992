#include "view/ScreenFrame.h"

#include "platform/Geometry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lupenta {
namespace {

constexpr KernelSet kSets[] = {KernelSet::Portable, KernelSet::Sse2,   KernelSet::Ssse3,
                               KernelSet::Avx2,     KernelSet::Avx512, KernelSet::Avx512Vbmi};

// The sets this machine runs; a set it lacks falls back to the portable one, tested already.
std::vector<KernelSet> RunnableSets() {
    std::vector<KernelSet> sets;
    for (KernelSet set : kSets)
        if (set == KernelSet::Portable || std::string(ChooseFrameKernels(set).name) != "portable")
            sets.push_back(set);
    return sets;
}

std::uint8_t Byte(int x, int y, int channel) {
    return static_cast<std::uint8_t>(x * 37 + y * 101 + channel * 71 + 13);
}

// Widths around every vector step (4 and 8 pixels, the loads that read past their pixels)
// and the bench's views, each row in a buffer of exactly its bytes so a read past it is
// caught under the address sanitizer.
TEST(ScreenFrame, EveryKernelWidensRowsExactlyAndStaysInsideThem) {
    const int widths[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,   10, 11,
                          12, 13, 15, 16, 17, 18, 31, 33, 117, 240};
    for (KernelSet set : RunnableSets()) {
        // A set without a kernel of its own widens with the portable one.
        const auto widen = ChooseFrameKernels(set).widenRow;
        if (!widen)
            continue;
        for (int width : widths) {
            SCOPED_TRACE(std::string(ChooseFrameKernels(set).name) + " width " +
                         std::to_string(width));
            std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 3);
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < 3; ++c)
                    row[x * 3 + c] = Byte(x, 0, c);
            std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * 4 + 8, 0xCD);
            widen(row.data(), width, out.data());
            for (int x = 0; x < width; ++x) {
                ASSERT_EQ(out[x * 4], row[x * 3]) << "pixel " << x;
                ASSERT_EQ(out[x * 4 + 1], row[x * 3 + 1]) << "pixel " << x;
                ASSERT_EQ(out[x * 4 + 2], row[x * 3 + 2]) << "pixel " << x;
                ASSERT_EQ(out[x * 4 + 3], 0) << "pixel " << x;
            }
            for (int j = width * 4; j < width * 4 + 8; ++j)
                ASSERT_EQ(out[j], 0xCD) << "byte " << j << " past the row";
        }
    }
}

// A frame's rows are padded to four bytes and the target's rows may be wider than the frame:
// each row starts at its own stride and the padding of either is never written.
TEST(ScreenFrame, FramesKeepBothStridesAndShowTheSameColours) {
    struct Size {
        int width, height;
    };
    for (KernelSet set : RunnableSets())
        for (Size size : {Size{1, 1}, Size{5, 3}, Size{7, 2}, Size{22, 4}, Size{61, 37}}) {
            SCOPED_TRACE(std::string(ChooseFrameKernels(set).name) + " " +
                         std::to_string(size.width) + "x" + std::to_string(size.height));
            Bitmap24 frame;
            frame.SetSize(size.width, size.height);
            for (int y = 0; y < size.height; ++y)
                for (int x = 0; x < size.width; ++x)
                    frame.SetPixel(x, y, MakeColour(Byte(x, y, 0), Byte(x, y, 1), Byte(x, y, 2)));
            const std::ptrdiff_t stride = size.width * 4 + 12;
            std::vector<std::uint8_t> out(static_cast<std::size_t>(stride) * size.height, 0xCD);
            WidenFrame(frame, out.data(), stride, set);
            for (int y = 0; y < size.height; ++y) {
                const std::uint8_t* row = out.data() + y * stride;
                for (int x = 0; x < size.width; ++x) {
                    const std::uint8_t* p = row + x * 4;
                    const std::uint32_t shown = static_cast<std::uint32_t>(p[2]) |
                                                static_cast<std::uint32_t>(p[1]) << 8 |
                                                static_cast<std::uint32_t>(p[0]) << 16;
                    ASSERT_EQ(shown, frame.PixelAt(x, y)) << x << "," << y;
                    ASSERT_EQ(p[3], 0) << x << "," << y;
                }
                for (int j = size.width * 4; j < stride; ++j)
                    ASSERT_EQ(row[j], 0xCD) << "row " << y << " byte " << j;
            }
        }
}

} // namespace
} // namespace lupenta
