#include "main/ColourForms.h"

#include "main/Readout.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace lupenta {

namespace {

// Every figure is worked out in integers from the 0..255 channels and rounded once, to nearest
// with halves upward as CSS rounds, so a value that lies exactly halfway cannot fall either way
// with the floating-point error of an intermediate step.
int RoundedRatio(int numerator, int denominator) {
    return (2 * numerator + denominator) / (2 * denominator);
}

int Percent(int part, int whole) {
    return whole == 0 ? 0 : RoundedRatio(100 * part, whole);
}

struct Channels {
    int r, g, b, max, min;
};

Channels ChannelsOf(Colour colour) {
    const int r = RedOf(colour), g = GreenOf(colour), b = BlueOf(colour);
    return {r, g, b, std::max({r, g, b}), std::min({r, g, b})};
}

// The hue in whole degrees, 0 to 359; a grey has hue 0.
int Hue(const Channels& c) {
    const int chroma = c.max - c.min;
    if (chroma == 0)
        return 0;
    int sixtieths;
    if (c.max == c.r)
        sixtieths = 60 * (c.g - c.b) + (c.g < c.b ? 360 * chroma : 0);
    else if (c.max == c.g)
        sixtieths = 60 * (c.b - c.r) + 120 * chroma;
    else
        sixtieths = 60 * (c.r - c.g) + 240 * chroma;
    return RoundedRatio(sixtieths, chroma) % 360;
}

template <class... Numbers> std::string Printed(const char* format, Numbers... numbers) {
    char text[64];
    std::snprintf(text, sizeof text, format, numbers...);
    return text;
}

std::string HashHex(Colour colour) {
    return ColourText(colour, true);
}

std::string BareHex(Colour colour) {
    return ColourText(colour, true).substr(1);
}

std::string RgbValues(Colour colour) {
    return ColourText(colour, false);
}

std::string CssRgb(Colour colour) {
    const Channels c = ChannelsOf(colour);
    return Printed("rgb(%d, %d, %d)", c.r, c.g, c.b);
}

std::string CssHsl(Colour colour) {
    const Channels c = ChannelsOf(colour);
    const int sum = c.max + c.min;
    // The saturation's denominator is 1 - |2L - 1| scaled by 255.
    const int saturation = Percent(c.max - c.min, 255 - std::abs(sum - 255));
    return Printed("hsl(%d, %d%%, %d%%)", Hue(c), saturation, Percent(sum, 510));
}

std::string Hsv(Colour colour) {
    const Channels c = ChannelsOf(colour);
    return Printed("hsv(%d, %d%%, %d%%)", Hue(c), Percent(c.max - c.min, c.max),
                   Percent(c.max, 255));
}

std::string Cmyk(Colour colour) {
    const Channels c = ChannelsOf(colour);
    return Printed("cmyk(%d%%, %d%%, %d%%, %d%%)", Percent(c.max - c.r, c.max),
                   Percent(c.max - c.g, c.max), Percent(c.max - c.b, c.max),
                   Percent(255 - c.max, 255));
}

// The value a Windows program keeps a colour in, which our colours share: red in the low byte,
// blue in the third.
std::string ColorRef(Colour colour) {
    return std::to_string(colour & 0xFFFFFFu);
}

// Three decimals tell all 256 levels apart; the digits are made by hand so that no locale's
// decimal comma slips in.
std::string Fraction(int channel) {
    const int thousandths = RoundedRatio(1000 * channel, 255);
    return Printed("%d.%03d", thousandths / 1000, thousandths % 1000);
}

std::string Floats(Colour colour) {
    return Fraction(RedOf(colour)) + ", " + Fraction(GreenOf(colour)) + ", " +
           Fraction(BlueOf(colour));
}

} // namespace

const std::array<ColourForm, 9> ColourForms{{
    {"HTML", HashHex},
    {"Hex", BareHex},
    {"RGB Values", RgbValues},
    {"CSS", CssRgb},
    {"CSS", CssHsl},
    {"HSV", Hsv},
    {"CMYK", Cmyk},
    {"Windows COLORREF", ColorRef},
    {"0 to 1", Floats},
}};

} // namespace lupenta
