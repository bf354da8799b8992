#pragma once

// The texts and colours of the colour and position readout.

#include "platform/Geometry.h"

#include <string>

namespace lupenta {

// "#FF8000" in HTML notation, "RGB : 255,128,0" otherwise.
std::string ColourText(Colour colour, bool html);

// Black text on colours whose average channel is 120 or more, white on darker ones.
Colour ContrastingTextColour(Colour background);

// "Position: 120, -15": the source point measured from the virtual origin.
std::string PositionText(Point source, Point origin);

} // namespace lupenta
