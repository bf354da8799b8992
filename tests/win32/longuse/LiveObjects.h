#pragma once

#include <ostream>

namespace lupenta::win32 {

// What this process holds of the window system's limited resources.
struct LiveObjects {
    int gdiObjects = 0;
    int windows = 0;
    int menus = 0;

    bool operator==(const LiveObjects&) const = default;
};

// Counted afresh from the window system, not from anything the program keeps.
LiveObjects CountLiveObjects();

std::ostream& operator<<(std::ostream& out, const LiveObjects& objects);

} // namespace lupenta::win32
