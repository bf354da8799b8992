#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lupenta {
namespace {

const std::string kProgram = "C:\\Program Files\\Lupenta\\Lupenta.exe";

struct SwitchCase {
    std::vector<std::string> arguments; // after the program's path
    StartupRequests expected;
};

std::string Describe(const std::vector<std::string>& arguments) {
    std::string text;
    for (const std::string& argument : arguments)
        text += "[" + argument + "] ";
    return text;
}

TEST(CommandLine, StartupSwitches) {
    const StartupRequests none;
    const StartupRequests allowClose{-1, true, false, false};
    const StartupRequests startHidden{-1, false, true, false};
    const StartupRequests noTray{-1, true, false, true};
    auto opacity = [](int value) { return StartupRequests{value, false, false, false}; };

    const SwitchCase cases[] = {
        {{}, none},
        {{"/allowclose"}, allowClose},
        {{"/ALLOWCLOSE"}, allowClose},
        {{"/autostart"}, startHidden},
        {{"/AutoStart"}, startHidden},
        {{"/NoTray"}, noTray},
        {{"/allowclose", "/autostart"}, {-1, true, true, false}},
        // "/notray" wins over "/autostart" in either order.
        {{"/notray", "/autostart"}, noTray},
        {{"/autostart", "/NOTRAY"}, noTray},
        {{"/autostart", "/notray", "/autostart"}, noTray},

        // Near misses are ignored.
        {{"-allowclose", "allowclose", "/allowclose=1", " /autostart", "/autostart ", "\\notray",
          "/notray/", "/no tray"},
         none},
        {{"/transparent", "transparent:200", "/transparent=200", "/transparen:200"}, none},

        {{"/transparent:200"}, opacity(200)},
        {{"/TRANSPARENT:200"}, opacity(200)},
        {{"/Transparent:+7"}, opacity(7)},
        {{"/transparent:0"}, opacity(0)},
        {{"/transparent:-5"}, opacity(-5)},
        // The window keeps only the low 8 bits of what is asked; the request itself is whole.
        {{"/transparent:300"}, opacity(300)},
        {{"/transparent:2147483647"}, opacity(2147483647)},
        {{"/transparent:-2147483648"}, opacity(-2147483647 - 1)},
        // Text that is no integer counts as 0, which requests nothing.
        {{"/transparent:"}, opacity(0)},
        {{"/transparent:abc"}, opacity(0)},
        {{"/transparent:12abc"}, opacity(0)},
        {{"/transparent: 200"}, opacity(0)},
        {{"/transparent:200 "}, opacity(0)},
        {{"/transparent:+-5"}, opacity(0)},
        {{"/transparent:+"}, opacity(0)},
        {{"/transparent:-"}, opacity(0)},
        {{"/transparent:0x10"}, opacity(0)},
        {{"/transparent:2147483648"}, opacity(0)},
        {{"/transparent:-99999999999"}, opacity(0)},
        // The last occurrence wins, even when it is not a number.
        {{"/transparent:200", "/transparent:50"}, opacity(50)},
        {{"/transparent:200", "/transparent:x"}, opacity(0)},

        {{"/notray", "/transparent:90", "x=5", "unknown"}, {90, true, false, true}},
    };
    for (const SwitchCase& c : cases) {
        SCOPED_TRACE(Describe(c.arguments));
        std::vector<std::string> arguments{kProgram};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const StartupRequests requests = ParseStartupSwitches(arguments);
        EXPECT_EQ(requests.opacity, c.expected.opacity);
        EXPECT_EQ(requests.allowClose, c.expected.allowClose);
        EXPECT_EQ(requests.startHidden, c.expected.startHidden);
        EXPECT_EQ(requests.noTray, c.expected.noTray);
    }
}

TEST(CommandLine, NoArgumentsAtAllRequestNothing) {
    const StartupRequests requests = ParseStartupSwitches({});
    EXPECT_EQ(requests.opacity, -1);
    EXPECT_FALSE(requests.allowClose || requests.startHidden || requests.noTray);
}

struct CoordinateCase {
    std::vector<std::string> arguments; // after the program's path
    int offsetx;
    int offsety;
};

TEST(CommandLine, CoordinateArguments) {
    // Offsets start from a mark, so an argument that leaves one alone shows.
    constexpr int kUntouched = 77;
    const CoordinateCase cases[] = {
        {{}, kUntouched, kUntouched},
        {{"x=5"}, 5, kUntouched},
        {{"X:5"}, 5, kUntouched},
        {{"y=-3"}, kUntouched, -3},
        {{"Y:+12"}, kUntouched, 12},
        {{"x=5", "y=7"}, 5, 7},
        {{"y=7", "x=5"}, 5, 7},
        // The second character is skipped whatever it is.
        {{"x12"}, 2, kUntouched},
        // A separator is one character however many bytes spell it: a no-break space.
        {{"x\u00A0640", "y\u00A0-480"}, 640, -480},
        {{"x\U0001F600"
          "7"},
         7,
         kUntouched},
        {{"y-3"}, kUntouched, 3},
        {{"xx-4"}, -4, kUntouched},
        {{"xyz"}, 0, kUntouched},
        {{"yes"}, kUntouched, 0},
        {{"x"}, 0, kUntouched},
        {{"x="}, 0, kUntouched},
        {{"x=5 "}, 0, kUntouched},
        {{"x=2147483648"}, 0, kUntouched},
        {{"x=-2147483648"}, -2147483647 - 1, kUntouched},
        // The last one wins, even when it is not a number.
        {{"x=5", "x=9"}, 9, kUntouched},
        {{"x=5", "x=no"}, 0, kUntouched},
        {{"/notray", "/transparent:200", "", "z=4", "-x=4"}, kUntouched, kUntouched},
    };
    for (const CoordinateCase& c : cases) {
        SCOPED_TRACE(Describe(c.arguments));
        std::vector<std::string> arguments{kProgram};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        int offsetx = kUntouched;
        int offsety = kUntouched;
        ReadCoordinateArguments(arguments, offsetx, offsety);
        EXPECT_EQ(offsetx, c.offsetx);
        EXPECT_EQ(offsety, c.offsety);
    }
}

TEST(CommandLine, TheProgramPathIsNeverACoordinate) {
    int offsetx = 0;
    int offsety = 0;
    ReadCoordinateArguments({"x=5", "y=6"}, offsetx, offsety);
    EXPECT_EQ(offsetx, 0);
    EXPECT_EQ(offsety, 6);
    ReadCoordinateArguments({"y=9"}, offsetx, offsety);
    EXPECT_EQ(offsety, 6);
    ReadCoordinateArguments({}, offsetx, offsety);
    EXPECT_EQ(offsetx, 0);
}

} // namespace
} // namespace lupenta
