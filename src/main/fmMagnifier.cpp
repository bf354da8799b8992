#include "main/fmMagnifier.h"

#include "main/SamplingTick.h"
#include "main/WindowStyles.h"
#include "main/ZoomFactors.h"

namespace lupenta {

namespace {

std::vector<std::string> ZoomCaptions() {
    std::vector<std::string> captions;
    for (std::uint16_t factor : ZoomFactors)
        captions.push_back(ZoomCaption(factor));
    return captions;
}

// The zoom items are named after their factor: Magnify1X1 ... Magnify12X1, then Magnify16x1 ...
std::string ZoomItemName(int factor) {
    return std::string("Magnify").append(std::to_string(factor)).append(factor <= 12 ? "X1" : "x1");
}

} // namespace

Tfrmmain::Tfrmmain(Desktop& desktop)
    : cbxZoomLevel("cbxZoomLevel", Rect::FromSize(5, 3, 84, 23), ZoomCaptions()),
      desktop_(desktop) {
    cbxZoomLevel.ItemIndex = 1;
    cbxZoomLevel.Hint = "Zoom Level";
    cbxZoomLevel.OnChange = [this] { cbxZoomLevelChange(); };
    Showcursor1.Checked = true;
    Timer1.OnTimer = [this] { Timer1Timer(); };
    Panel1.OnMouseDown = [this] { ImageView1MouseDown(); };
    BuildMenu();
}

void Tfrmmain::BuildMenu() {
    for (std::uint16_t factor : ZoomFactors) {
        auto item = std::make_unique<ui::TMenuItem>(ZoomItemName(factor), ZoomCaption(factor));
        item->Tag = factor;
        ui::TMenuItem& ref = *item;
        item->OnClick = [this, &ref] { Magnify1X1Click(ref); };
        ZoomLevel1.Add(*item);
        zoomItems.push_back(std::move(item));
    }
    ShowHideTitlebar1.OnClick = [this] { ShowHideTitlebar1Click(); };
    Exit1.ShortCut = ui::kAlt | 0x73;
    Exit1.OnClick = [this] { Exit1Click(); };
    for (ui::TMenuItem* item : {&ZoomLevel1, &N2, &ShowHideTitlebar1, &N1, &Exit1})
        mnuMain.Add(*item);
}

void Tfrmmain::FormCreate() {
    AllowClose = false;
    imageview1 = std::make_unique<TImageView>(desktop_);
    imageview1->OnDblClick = [this] { ImageView1DblClick(); };
    imageview1->OnMouseDown = [this] { ImageView1MouseDown(); };
    imageview1->OnMouseUp = [this] { ImageView1MouseUp(); };
    offsetx = 0;
    offsety = 0;
    Transparency = 160;
    virtx = 0;
    virty = 0;
    AlignControls();
}

void Tfrmmain::FormShow() {
    AllowClose = true;
    imageview1->SetZoom(ZoomFactorAt(cbxZoomLevel.ItemIndex));
    setzoomchecked();
    imageview1->SetGetcolor(Panel1.Visible);
    imageview1->SetShowCursor(Showcursor1.Checked && offsetx == 0 && offsety == 0);
    showtitle = false;
    Hidetitlebar();
    AboutLupenta1.Tag = cbxZoomLevel.ItemIndex;
}

void Tfrmmain::AlignControls() {
    const int panelHeight = Panel1.Visible ? kPanelHeight : 0;
    if (Panel1.Visible)
        Panel1.Bounds =
            Rect::FromSize(0, ClientHeight() - kPanelHeight, ClientWidth(), kPanelHeight);
    if (imageview1)
        imageview1->SetBounds(Rect::FromSize(0, 0, ClientWidth(), ClientHeight() - panelHeight));
}

void Tfrmmain::Timer1Timer() {
    if (!Visible())
        return;
    const Rect desk = desktop_.VirtualDesktop();
    const auto pointer = desktop_.PointerPosition();
    if (!pointer)
        return;
    const auto monitor = desktop_.MonitorNearest(*pointer);
    if (!monitor)
        return;
    const Point offsets = MonitorOffsets(*monitor);
    offsetx = offsets.x;
    offsety = offsets.y;

    if (FlipwhenHovered1.Checked) {
        // Holding Ctrl freezes the magnifier so the user can reach it with the pointer.
        if (desktop_.IsCtrlDown())
            return;
        const bool hovered = BoundsRect().Contains(*pointer) ||
                             (Handle() != 0 && desktop_.TopLevelWindowAt(*pointer) == Handle());
        if (hovered)
            MoveAwayFromPointer();
    }

    Point source = *pointer;
    Point displacement;
    if (FixedLocation1.Checked) {
        source = {memX, memY};
        displacement = {pointer->x - memX, pointer->y - memY};
    } else if (Point caret; followkey && GetCaretPosition(caret)) {
        source = caret;
    }

    const CapturePlacement placement =
        PlaceCapture({source, displacement, desk, imageview1->Width(), imageview1->Height(),
                      imageview1->Zoom()});
    imageview1->BeginUpdate();
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

// The colour and position readout lives on the bottom panel's controls, which the window
// does not have yet; until then the tick leaves the readout alone.
void Tfrmmain::RefreshReadout(Point) {}

void Tfrmmain::Showtitlebar() {
    imageview1->SetBorderColor(kGreen);
    SetStyle(WithTitleBar(Style()));
    RefreshFrame();
}

void Tfrmmain::Hidetitlebar() {
    imageview1->SetBorderColor(kSilver);
    SetStyle(WithoutTitleBar(Style()));
    RefreshFrame();
}

void Tfrmmain::ImageView1DblClick() {
    if (showtitle)
        Hidetitlebar();
    else
        Showtitlebar();
    showtitle = !showtitle;
}

void Tfrmmain::ImageView1MouseDown() {
    StartMove();
}

void Tfrmmain::cbxZoomLevelChange() {
    const int index = cbxZoomLevel.ItemIndex;
    imageview1->SetZoom(ZoomFactorAt(index));
    AboutLupenta1.Tag = index;
    setzoomchecked();
}

void Tfrmmain::Magnify1X1Click(ui::TMenuItem& item) {
    const int index = ZoomIndexOf(item.Tag);
    AboutLupenta1.Tag = index;
    imageview1->SetZoom(static_cast<std::uint16_t>(item.Tag.Get()));
    cbxZoomLevel.ItemIndex = index;
    setzoomchecked();
}

void Tfrmmain::setzoomchecked() {
    for (const auto& item : zoomItems)
        item->Checked = item->Tag == imageview1->Zoom();
}

void Tfrmmain::Exit1Click() {
    AllowClose = true;
    Close();
}

} // namespace lupenta
