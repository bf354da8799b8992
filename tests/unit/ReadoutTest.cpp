#include "main/Readout.h"

#include <gtest/gtest.h>

namespace lupenta {
namespace {

struct ColourCase {
    Colour colour;
    const char* rgb;
    const char* html;
    Colour text;
};

TEST(Readout, ColourTextsAndContrast) {
    const ColourCase cases[] = {
        {0x000000, "RGB : 0,0,0", "#000000", kWhite},
        {MakeColour(120, 120, 119), "RGB : 120,120,119", "#787877", kWhite},
        {MakeColour(120, 120, 120), "RGB : 120,120,120", "#787878", kBlack},
        {0x0080FF, "RGB : 255,128,0", "#FF8000", kBlack},
        {0xFFFFFF, "RGB : 255,255,255", "#FFFFFF", kBlack},
        {MakeColour(10, 171, 254), "RGB : 10,171,254", "#0AABFE", kBlack},
    };
    for (const ColourCase& c : cases) {
        SCOPED_TRACE(c.rgb);
        EXPECT_EQ(ColourText(c.colour, false), c.rgb);
        EXPECT_EQ(ColourText(c.colour, true), c.html);
        EXPECT_EQ(ContrastingTextColour(c.colour), c.text);
    }
}

TEST(Readout, PositionFromTheVirtualOrigin) {
    EXPECT_EQ(PositionText({120, 300}, {0, 315}), "Position: 120, -15");
    EXPECT_EQ(PositionText({-5, 12}, {0, 0}), "Position: -5, 12");
    EXPECT_EQ(PositionText({-2147483647, 0}, {1, 0}), "Position: -2147483648, 0");
}

} // namespace
} // namespace lupenta
