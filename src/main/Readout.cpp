#include "main/Readout.h"

#include <cstdio>

namespace lupenta {

std::string ColourText(Colour colour, bool html) {
    char text[32];
    if (html)
        std::snprintf(text, sizeof text, "#%02X%02X%02X", RedOf(colour), GreenOf(colour),
                      BlueOf(colour));
    else
        std::snprintf(text, sizeof text, "RGB : %d,%d,%d", RedOf(colour), GreenOf(colour),
                      BlueOf(colour));
    return text;
}

Colour ContrastingTextColour(Colour background) {
    const int average = (RedOf(background) + GreenOf(background) + BlueOf(background)) / 3;
    return average >= 120 ? kBlack : kWhite;
}

std::string PositionText(Point source, Point origin) {
    char text[48];
    std::snprintf(text, sizeof text, "Position: %d, %d", source.x - origin.x, source.y - origin.y);
    return text;
}

} // namespace lupenta
