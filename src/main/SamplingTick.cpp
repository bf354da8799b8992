#include "main/SamplingTick.h"

namespace lupenta {

namespace {

struct AxisPlacement {
    int start;
    int offset;
};

AxisPlacement PlaceAxis(int source, int displacement, int desktopStart, int desktopSize,
                        int visible) {
    const int half = visible / 2;
    int start;
    if (source < desktopStart + half)
        start = desktopStart;
    else if (source > desktopStart + desktopSize - half)
        start = desktopStart + desktopSize - visible;
    else
        start = source - half;
    return {start, source + displacement - start};
}

constexpr int kPointerClearance = 150;

} // namespace

CapturePlacement PlaceCapture(const CaptureInput& in) {
    const int zoom = in.zoom > 0 ? in.zoom : 1;
    const AxisPlacement x = PlaceAxis(in.source.x, in.displacement.x, in.desktop.left,
                                      in.desktop.Width(), in.viewWidth / zoom);
    const AxisPlacement y = PlaceAxis(in.source.y, in.displacement.y, in.desktop.top,
                                      in.desktop.Height(), in.viewHeight / zoom);
    return {x.start, y.start, x.offset, y.offset};
}

Point MonitorOffsets(const Rect& monitor) {
    return {monitor.left != 0 ? monitor.left + monitor.Width() : 0,
            monitor.top != 0 ? monitor.top + monitor.Height() : 0};
}

Point CentredIn(const Rect& area, int width, int height) {
    return {area.left + (area.Width() - width) / 2, area.top + (area.Height() - height) / 2};
}

Point PlaceAwayFromPointer(Point p, const Rect& m, int wf, int hf,
                           const std::vector<Rect>& monitors) {
    const int c = kPointerClearance;
    const Rect pointerSquare{p.x - c, p.y - c, p.x + c, p.y + c};
    const Rect right{p.x + c, p.y - hf / 2, p.x + c + wf, p.y + hf / 2};
    const Rect left{p.x - c - wf, p.y - hf / 2, p.x - c, p.y + hf / 2};
    const Rect above{p.x - wf / 2, p.y - c - hf, p.x + wf / 2, p.y - c};
    const Rect below{p.x - wf / 2, p.y + c, p.x + wf / 2, p.y + c + hf};
    const struct {
        Rect rect;
        bool fits;
    } candidates[] = {
        {right, right.right <= m.right && right.top >= m.top && right.bottom <= m.bottom},
        {left, left.left >= m.left && left.top >= m.top && left.bottom <= m.bottom},
        {above, above.left >= m.left && above.right <= m.right && above.top >= m.top},
        {below, below.left >= m.left && below.right <= m.right && below.bottom <= m.bottom},
    };
    for (const auto& candidate : candidates)
        if (candidate.fits && !candidate.rect.Overlaps(pointerSquare))
            return {candidate.rect.left, candidate.rect.top};
    for (const Rect& other : monitors)
        if (!(other == m))
            return CentredIn(other, wf, hf);
    return CentredIn(m, wf, hf);
}

} // namespace lupenta
