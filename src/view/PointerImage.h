#pragma once

// Drawing the pointer image through the platform on every paint means stretching the cursor
// to 32 * zoom pixels a side each time. What the image does to a pixel it covers depends only
// on the cursor and on where it lands, so once a cursor stays put the image's effect on each
// pixel is learnt from the platform's own drawings over known backgrounds, and later paints
// apply that effect themselves.

#include "platform/Bitmap24.h"
#include "platform/Desktop.h"
#include "platform/Geometry.h"
#include "view/Overlays.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lupenta {

class PointerImage {
public:
    // Learning costs about as much as twenty drawings, and at a screen edge the image moves
    // with the pointer, so only an image that stays put this many paints in a row is learnt.
    static constexpr int kPaintsToLearn = 8;

    explicit PointerImage(Desktop& desktop) : desktop_(desktop) {}

    // Leaves `frame` exactly as the desktop's DrawPointer would. A cursor whose drawing is
    // not reproduced exactly over every background tried is drawn by the desktop every time.
    void Draw(const PointerShape& shape, Bitmap24& frame, const OverlayInput& in);
    // True when the last Draw applied what was learnt instead of asking the desktop.
    bool AppliedLearnt() const { return applied_; }

private:
    struct Placement {
        std::uintptr_t handle = 0;
        Point at;
        int size = 0;
        int frameWidth = 0;
        int frameHeight = 0;
        friend bool operator==(const Placement&, const Placement&) = default;
    };
    // Pixels of one frame row that the image changes in the same way.
    struct Run {
        int y = 0;
        int x = 0;
        int count = 0;
        bool blend = false;
        std::size_t byte = 0; // where its bytes start in Learnt's first and second
    };

    // What was learnt for one placement. Without `modelled` the image fitted no effect the
    // runs can express, and the desktop draws it.
    struct Learnt {
        Placement placement;
        bool modelled = false;
        std::vector<Run> runs;
        // For each byte a run covers: a mask and a flip, the byte becoming (b & mask) ^ flip;
        // or, in a blend, the image over black and the share of the background that shows
        // through, out of 255.
        std::vector<std::uint8_t> first;
        std::vector<std::uint8_t> second;
    };

    // Crossing a page the pointer changes among a few cursors (arrow, I-beam, hand), so the
    // last few images learnt are kept and each is learnt once.
    static constexpr std::size_t kImagesKept = 4;

    void Learn(const PointerShape& shape, const Placement& placement);
    // From the image drawn over black, white and noise; false when some pixel fits no effect
    // the runs can express.
    static bool Model(const Rect& covered, const Bitmap24 (&drawn)[3], Learnt& image);
    static void Apply(const Learnt& image, Bitmap24& frame);

    Desktop& desktop_;
    Placement seen_; // the previous paint's
    int paintsSeen_ = 0;
    bool applied_ = false;
    std::vector<Learnt> learnt_; // the most recently used first
};

} // namespace lupenta
