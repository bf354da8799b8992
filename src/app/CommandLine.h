#pragma once

// The start-up switches and the coordinate arguments of the program's command line. Arguments
// are the command-line words as the platform splits them, index 0 being the program's path.

#include <string>
#include <vector>

namespace lupenta {

// What the switches ask of the program once its main window exists.
struct StartupRequests {
    // Applied only when greater than 0; the window uses only its low 8 bits.
    int opacity = -1;
    bool allowClose = false;
    bool startHidden = false;
    bool noTray = false;
};

// Reads "/allowclose", "/autostart", "/notray" (whole argument) and "/transparent:<number>"
// (first 13 characters), in any letter case; the last occurrence of a form wins and anything
// else is ignored. A number that is not an integer gives opacity 0, which requests nothing.
// The result is final: "/notray" already implies allow-close and cancels start-hidden,
// whatever order the switches came in.
StartupRequests ParseStartupSwitches(const std::vector<std::string>& arguments);

// Sets `offsetx` from every argument after the program's path whose first character is x or X,
// and `offsety` likewise for y or Y, to the integer from its third character on (the second
// is a separator of any kind) or 0 when that is not an integer: a signed 32-bit decimal number
// with an optional sign and nothing around it. The last one wins; an argument that starts
// with neither leaves both alone.
void ReadCoordinateArguments(const std::vector<std::string>& arguments, int& offsetx, int& offsety);

} // namespace lupenta
