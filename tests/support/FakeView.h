#pragma once

#include "view/VwImage.h"

#include <cstring>
#include <vector>

namespace lupenta::testing {

// Counts what the view asks of its window and keeps a copy of the last frame presented.
class FakeViewPeer : public ImageViewPeer, public ViewSurface {
public:
    int invalidations = 0;
    int timerInterval = 0; // 0 while the timer is stopped
    int presents = 0;
    Rect placed;
    Bitmap24 shown;

    std::vector<Rect> invalidatedRects;

    void Invalidate() override { ++invalidations; }
    void InvalidateRect(const Rect& rect) override { invalidatedRects.push_back(rect); }
    void StartTimer(int interval) override { timerInterval = interval; }
    void StopTimer() override { timerInterval = 0; }
    void Place(const Rect& bounds) override { placed = bounds; }
    void Present(const Bitmap24& frame) override {
        ++presents;
        shown.SetSize(frame.Width(), frame.Height());
        for (int y = 0; y < frame.Height(); ++y)
            std::memcpy(shown.Row(y), frame.Row(y), static_cast<std::size_t>(frame.Width()) * 3);
    }
};

} // namespace lupenta::testing
