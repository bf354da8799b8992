#include "main/Readout.h"
#include "main/SamplingTick.h"
#include "main/fmMagnifier.h"

namespace lupenta {

namespace {

// Opens the tick in the trace; the tick's own work, up to the view's paint, is its rest.
class TracedTick {
public:
    explicit TracedTick(FrameTrace* trace) : trace_(trace) {
        if (trace_)
            trace_->StartTick();
    }
    ~TracedTick() {
        if (trace_)
            trace_->Lap(FrameStage::Rest);
    }
    TracedTick(const TracedTick&) = delete;
    TracedTick& operator=(const TracedTick&) = delete;

private:
    FrameTrace* trace_;
};

} // namespace

void Tfrmmain::Timer1Timer() {
    const TracedTick traced(trace_);
    if (!Visible())
        return;
    const Rect desk = desktop_.VirtualDesktop();
    const auto sighting = desktop_.SightPointer();
    if (!sighting)
        return;
    const Point pointer = sighting->position;
    const auto monitor = desktop_.MonitorNearest(pointer);
    if (!monitor)
        return;
    const Point offsets = MonitorOffsets(*monitor);
    offsetx = offsets.x;
    offsety = offsets.y;

    if (FlipwhenHovered1.Checked) {
        // Holding Ctrl freezes the magnifier so the user can reach it with the pointer.
        if (desktop_.IsCtrlDown())
            return;
        const bool hovered = BoundsRect().Contains(pointer) ||
                             (Handle() != 0 && desktop_.TopLevelWindowAt(pointer) == Handle());
        if (hovered)
            MoveAwayFromPointer();
    }

    Point source = pointer;
    Point displacement;
    if (FixedLocation1.Checked) {
        source = {memX, memY};
        displacement = {pointer.x - memX, pointer.y - memY};
    } else if (Point caret; followkey && GetCaretPosition(caret)) {
        source = caret;
    }

    const CapturePlacement placement =
        PlaceCapture({source, displacement, desk, imageview1->Width(), imageview1->Height(),
                      imageview1->Zoom()});
    imageview1->BeginUpdate();
    imageview1->UsePointerShape(sighting->shape);
    imageview1->SetScreenTop(placement.screenTop);
    imageview1->SetScreenLeft(placement.screenLeft);
    imageview1->SetTopOffset(placement.topOffset);
    imageview1->SetLeftOffset(placement.leftOffset);
    imageview1->EndUpdate(true);

    if (Panel1.Visible)
        RefreshReadout(source);
}

void Tfrmmain::MoveAwayFromPointer() {
    const auto pointer = desktop_.PointerPosition();
    if (!pointer)
        return;
    const auto monitor = desktop_.MonitorNearest(*pointer);
    if (!monitor)
        return;
    const Rect bounds = BoundsRect();
    const Point to = PlaceAwayFromPointer(*pointer, *monitor, bounds.Width(), bounds.Height(),
                                          desktop_.Monitors());
    SetLeft(to.x);
    SetTop(to.y);
}

bool Tfrmmain::GetCaretPosition(Point& point) {
    const CaretProbe probe = desktop_.ProbeCaret();
    switch (probe.outcome) {
    case CaretProbe::Outcome::NoForegroundWindow:
    case CaretProbe::Outcome::AttachFailed:
        return false;
    case CaretProbe::Outcome::OwnThread:
        if (const auto pointer = desktop_.PointerPosition())
            point = *pointer;
        imageview1->SetShowCursor(Showcursor1.Checked && offsetx == 0 && offsety == 0);
        return false;
    case CaretProbe::Outcome::NoFocusWindow:
        if (const auto pointer = desktop_.PointerPosition())
            point = *pointer;
        imageview1->SetShowCursor(Showcursor1.Checked);
        return false;
    case CaretProbe::Outcome::FocusWindow:
        imageview1->SetShowCursor(false);
        if (!probe.caret)
            return false;
        point = *probe.caret;
        return true;
    }
    return false;
}

// The colour shown is the one the previous paint sampled: the view paints after the tick.
void Tfrmmain::RefreshReadout(Point source) {
    const Colour colour = imageview1->ScreenColor();
    {
        const ui::ChangeBatch once(pnlColor);
        pnlColor.Color = colour;
        pnlColor.FontColor = ContrastingTextColour(colour);
        pnlColor.Caption = ColourText(colour, HTMLCode1.Checked);
    }
    lblPosition.Caption = PositionText(source, {virtx, virty});
    // Only a change of grade is announced: the ratio alone changes with every move of the
    // pointer and would drown everything else a screen reader has to say.
    if (RefreshContrast(colour))
        Announce(lblContrast.Caption);
}

} // namespace lupenta
