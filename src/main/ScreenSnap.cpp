#include "main/ScreenSnap.h"

namespace lupenta {

Point SnapToEdges(const Rect& window, const Rect& workArea, int distance) {
    Point at{window.left, window.top};
    const auto near = [distance](int a, int b) { return a - b < distance && b - a < distance; };
    if (near(window.left, workArea.left))
        at.x = workArea.left;
    else if (near(window.right, workArea.right))
        at.x = workArea.right - window.Width();
    if (near(window.top, workArea.top))
        at.y = workArea.top;
    else if (near(window.bottom, workArea.bottom))
        at.y = workArea.bottom - window.Height();
    return at;
}

} // namespace lupenta
