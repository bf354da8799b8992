#pragma once

// The colour written out in the forms other tools take it in.

#include "platform/Geometry.h"

#include <array>
#include <string>

namespace lupenta {

struct ColourForm {
    // What the form is, as the menu names it beside the text.
    const char* label;
    std::string (*text)(Colour colour);
};

// "#FF8000", "FF8000", "RGB : 255,128,0", "rgb(255, 128, 0)", "hsl(30, 100%, 50%)",
// "hsv(30, 100%, 100%)", "cmyk(0%, 50%, 100%, 0%)", the Windows colour value "33023" and
// "1.000, 0.502, 0.000", in that order.
extern const std::array<ColourForm, 9> ColourForms;

} // namespace lupenta
