#include "main/ColourForms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>

namespace lupenta {
namespace {

std::array<std::string, 9> AllForms(Colour colour) {
    std::array<std::string, 9> texts;
    for (std::size_t i = 0; i < ColourForms.size(); ++i)
        texts[i] = ColourForms[i].text(colour);
    return texts;
}

struct KnownColour {
    Colour colour;
    std::array<std::string, 9> texts;
};

// Named web colours with their well-known HSL, the primaries, and colours whose
// hue or saturation lies exactly halfway between two whole numbers or rounds up to 360.
const KnownColour kKnown[] = {
    {MakeColour(0, 0, 0),
     {"#000000", "000000", "RGB : 0,0,0", "rgb(0, 0, 0)", "hsl(0, 0%, 0%)", "hsv(0, 0%, 0%)",
      "cmyk(0%, 0%, 0%, 100%)", "0", "0.000, 0.000, 0.000"}},
    {MakeColour(255, 255, 255),
     {"#FFFFFF", "FFFFFF", "RGB : 255,255,255", "rgb(255, 255, 255)", "hsl(0, 0%, 100%)",
      "hsv(0, 0%, 100%)", "cmyk(0%, 0%, 0%, 0%)", "16777215", "1.000, 1.000, 1.000"}},
    {MakeColour(255, 128, 0),
     {"#FF8000", "FF8000", "RGB : 255,128,0", "rgb(255, 128, 0)", "hsl(30, 100%, 50%)",
      "hsv(30, 100%, 100%)", "cmyk(0%, 50%, 100%, 0%)", "33023", "1.000, 0.502, 0.000"}},
    {MakeColour(102, 51, 153),
     {"#663399", "663399", "RGB : 102,51,153", "rgb(102, 51, 153)", "hsl(270, 50%, 40%)",
      "hsv(270, 67%, 60%)", "cmyk(33%, 67%, 0%, 40%)", "10040166", "0.400, 0.200, 0.600"}},
    {MakeColour(0, 128, 128),
     {"#008080", "008080", "RGB : 0,128,128", "rgb(0, 128, 128)", "hsl(180, 100%, 25%)",
      "hsv(180, 100%, 50%)", "cmyk(100%, 0%, 0%, 50%)", "8421376", "0.000, 0.502, 0.502"}},
    {MakeColour(0, 0, 255),
     {"#0000FF", "0000FF", "RGB : 0,0,255", "rgb(0, 0, 255)", "hsl(240, 100%, 50%)",
      "hsv(240, 100%, 100%)", "cmyk(100%, 100%, 0%, 0%)", "16711680", "0.000, 0.000, 1.000"}},
    // Hue 359.76 rounds to 360, which is 0.
    {MakeColour(255, 0, 1),
     {"#FF0001", "FF0001", "RGB : 255,0,1", "rgb(255, 0, 1)", "hsl(0, 100%, 50%)",
      "hsv(0, 100%, 100%)", "cmyk(0%, 100%, 100%, 0%)", "65791", "1.000, 0.000, 0.004"}},
    // Hue exactly 0.5 rounds up.
    {MakeColour(120, 1, 0),
     {"#780100", "780100", "RGB : 120,1,0", "rgb(120, 1, 0)", "hsl(1, 100%, 24%)",
      "hsv(1, 100%, 47%)", "cmyk(0%, 99%, 100%, 53%)", "376", "0.471, 0.004, 0.000"}},
    // HSV saturation and magenta exactly 0.5% round up.
    {MakeColour(200, 199, 199),
     {"#C8C7C7", "C8C7C7", "RGB : 200,199,199", "rgb(200, 199, 199)", "hsl(0, 1%, 78%)",
      "hsv(0, 1%, 78%)", "cmyk(0%, 1%, 1%, 22%)", "13092808", "0.784, 0.780, 0.780"}},
};

TEST(ColourForms, KnownColoursInEveryForm) {
    for (const KnownColour& known : kKnown) {
        SCOPED_TRACE(known.texts[0]);
        EXPECT_EQ(AllForms(known.colour), known.texts);
    }
}

// The textbook conversions in floating point; a value within a hair of a half is left out,
// where the two may round either way.
std::string ReferenceHslAndHsv(int r, int g, int b, bool& nearHalf) {
    const double R = r / 255.0, G = g / 255.0, B = b / 255.0;
    const double max = std::max({R, G, B}), min = std::min({R, G, B}), d = max - min;
    double h = 0;
    if (d > 0) {
        if (max == R)
            h = 60 * std::fmod((G - B) / d + 6, 6);
        else if (max == G)
            h = 60 * ((B - R) / d + 2);
        else
            h = 60 * ((R - G) / d + 4);
    }
    const double l = (max + min) / 2;
    const double sl = d == 0 ? 0 : d / (1 - std::fabs(2 * l - 1));
    const double sv = max == 0 ? 0 : d / max;
    const double figures[] = {h, sl * 100, l * 100, sv * 100, max * 100};
    long rounded[5];
    for (int i = 0; i < 5; ++i) {
        const double fraction = figures[i] - std::floor(figures[i]);
        nearHalf = nearHalf || std::fabs(fraction - 0.5) < 1e-6;
        rounded[i] = std::lround(std::floor(figures[i] + 0.5));
    }
    char text[96];
    std::snprintf(text, sizeof text, "hsl(%ld, %ld%%, %ld%%) hsv(%ld, %ld%%, %ld%%)",
                  rounded[0] % 360, rounded[1], rounded[2], rounded[0] % 360, rounded[3],
                  rounded[4]);
    return text;
}

TEST(ColourForms, HueSaturationAndLightnessMatchTheFloatingPointFormulas) {
    int compared = 0;
    for (int r = 0; r < 256; r += 5)
        for (int g = 0; g < 256; g += 3)
            for (int b = 0; b < 256; b += 7) {
                bool nearHalf = false;
                const std::string expected = ReferenceHslAndHsv(r, g, b, nearHalf);
                if (nearHalf)
                    continue;
                const Colour colour = MakeColour(r, g, b);
                ASSERT_EQ(ColourForms[4].text(colour) + " " + ColourForms[5].text(colour), expected)
                    << r << "," << g << "," << b;
                ++compared;
            }
    EXPECT_GT(compared, 100000);
}

// Three decimals tell every level apart: reading one back gives the level it came from.
TEST(ColourForms, FloatsReadBackToTheirLevel) {
    for (int level = 0; level < 256; ++level) {
        const std::string text = ColourForms[8].text(MakeColour(level, 0, 0));
        const double value = std::stod(text.substr(0, text.find(',')));
        EXPECT_EQ(std::lround(value * 255), level) << text;
    }
}

} // namespace
} // namespace lupenta
