#include "main/ArrowKeys.h"
#include "main/StayOnTopPause.h"
#include "main/ZoomFactors.h"
#include "main/fmMagnifier.h"
#include "settings/FormStorage.h"

#include <algorithm>

namespace lupenta {

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
    WriteSettings();
}

bool Tfrmmain::KeyDown(std::uint16_t shortcut, bool zoomListFocused) {
    if (mnuMain.DispatchShortCut(shortcut))
        return true;
    FormKeyDown(shortcut & 0xFF);
    if (zoomListFocused)
        return false;
    const auto step = ArrowKeyStep(shortcut);
    if (!step)
        return false;
    MoveHotPixel(*step);
    return true;
}

// A fixed location moves on its own and leaves the pointer where the user put it.
void Tfrmmain::MoveHotPixel(Point step) {
    const std::vector<Rect> monitors = desktop_.Monitors();
    if (FixedLocation1.Checked) {
        const Point moved = StepOnMonitors({memX, memY}, step, monitors);
        memX = moved.x;
        memY = moved.y;
    } else if (const auto pointer = desktop_.PointerPosition()) {
        desktop_.MovePointer(StepOnMonitors(*pointer, step, monitors));
    }
}

void Tfrmmain::FormKeyDown(int key) {
    constexpr int kSpace = 0x20;
    if (key == kSpace)
        Timer1.Enabled = !Timer1.Enabled;
    Enabled1.Checked = Timer1.Enabled;
}

// Turning the wheel away from the user zooms in, towards the user zooms out; the list's
// change handler runs even at either end, so the zoom and its checks are always re-applied.
void Tfrmmain::ApplicationEvents1Message(int wheelDistance) {
    const int last = static_cast<int>(cbxZoomLevel.Items().size()) - 1;
    const int index = cbxZoomLevel.ItemIndex;
    if (wheelDistance > 0)
        cbxZoomLevel.ItemIndex = index < 0 ? 0 : std::min(index + 1, last);
    else if (index > 0)
        cbxZoomLevel.ItemIndex = index - 1;
    cbxZoomLevelChange();
}

void Tfrmmain::setzoomchecked() {
    for (const auto& item : zoomItems)
        item->Checked = item->Tag == imageview1->Zoom();
}

void Tfrmmain::N1xpersecond1Click(ui::TMenuItem& item) {
    const bool enabled = Timer1.Enabled;
    Timer1.Enabled = false;
    Timer1.Interval = item.Tag;
    Timer1.Enabled = enabled;
    setFreqChecked();
    WriteSettings();
}

void Tfrmmain::setFreqChecked() {
    for (ui::TMenuItem* item : RateItems())
        item->Checked = item->Tag == Timer1.Interval;
}

// "No Grid" reaches the settings with the next write, whichever command makes it.
void Tfrmmain::N1pixel1Click(ui::TMenuItem& item) {
    pixlevel = item.Tag;
    imageview1->SetGridlevel(pixlevel);
    for (ui::TMenuItem* spacing : SpacingItems())
        spacing->Checked = false;
    item.Checked = true;
    if (pixlevel != 0)
        WriteSettings();
}

void Tfrmmain::Smoothen1Click() {
    Smoothen1.Checked = !Smoothen1.Checked;
    imageview1->SetSmoothen(Smoothen1.Checked);
    WriteSettings();
}

void Tfrmmain::InvertImage1Click() {
    InvertImage1.Checked = !InvertImage1.Checked;
    imageview1->SetInvert(InvertImage1.Checked);
    WriteSettings();
}

void Tfrmmain::FlipHorizontally1Click() {
    FlipHorizontally1.Checked = !FlipHorizontally1.Checked;
    imageview1->SetFlipHorizontal(FlipHorizontally1.Checked);
    WriteSettings();
}

void Tfrmmain::FlipVertically1Click() {
    FlipVertically1.Checked = !FlipVertically1.Checked;
    imageview1->SetFlipVertical(FlipVertically1.Checked);
    WriteSettings();
}

void Tfrmmain::Showcursor1Click() {
    Showcursor1.Checked = !Showcursor1.Checked;
    imageview1->SetShowCursor(Showcursor1.Checked);
    WriteSettings();
}

void Tfrmmain::DrawCrossHair1Click() {
    DrawCrossHair1.Checked = !DrawCrossHair1.Checked;
    imageview1->SetDrawCross(DrawCrossHair1.Checked);
    WriteSettings();
}

void Tfrmmain::DrawFixedGrid1Click() {
    DrawFixedGrid1.Checked = !DrawFixedGrid1.Checked;
    imageview1->SetFixedGrid(DrawFixedGrid1.Checked);
    WriteSettings();
}

void Tfrmmain::RGBValues1Click() {
    RGBValues1.Checked = true;
    mnuRGB.Checked = true;
    HTMLCode1.Checked = false;
    mnuHTML.Checked = false;
    WriteSettings();
}

void Tfrmmain::HTMLCode1Click() {
    RGBValues1.Checked = false;
    mnuRGB.Checked = false;
    HTMLCode1.Checked = true;
    mnuHTML.Checked = true;
    WriteSettings();
}

void Tfrmmain::SampleSizeClick(ui::TMenuItem& item) {
    samplesize = item.Tag;
    imageview1->SetSampleSize(samplesize);
    setSampleSizeChecked();
    WriteSettings();
}

void Tfrmmain::setSampleSizeChecked() {
    for (const auto& item : sampleSizeItems)
        item->Checked = item->Tag == samplesize;
}

void Tfrmmain::ShowPanel1Click() {
    ShowPanel1.Checked = !ShowPanel1.Checked;
    Panel1.Visible = ShowPanel1.Checked;
    imageview1->SetGetcolor(Panel1.Visible);
    AlignControls();
    WriteSettings();
}

void Tfrmmain::StayOnTop1Click() {
    StayOnTop1.Checked = !StayOnTop1.Checked;
    SetStayOnTop(StayOnTop1.Checked);
    WriteSettings();
}

void Tfrmmain::MakeWindowTransparent1Click() {
    MakeWindowTransparent1.Checked = !MakeWindowTransparent1.Checked;
    SetTransparency();
    WriteSettings();
}

void Tfrmmain::FlipwhenHovered1Click() {
    FlipwhenHovered1.Checked = !FlipwhenHovered1.Checked;
    WriteSettings();
}

void Tfrmmain::btnTypeClick() {
    followkey = !followkey;
    btnType.Down = followkey;
    FollowCaretPosition1.Checked = btnType.Down;
    imageview1->SetShowCursor(followkey ? false : Showcursor1.Checked.Get());
}

void Tfrmmain::FixedLocation1Click() {
    FixedLocation1.Checked = !FixedLocation1.Checked;
    if (const auto pointer = desktop_.PointerPosition()) {
        memX = pointer->x;
        memY = pointer->y;
    }
}

// The origin comes from the pointer even while the readout shows the caret or the fixed
// location, so choosing the command twice in one place switches the origin off again.
void Tfrmmain::SetVirtualOrigin1Click() {
    const auto pointer = desktop_.PointerPosition();
    if (!pointer)
        return;
    if (pointer->x == virtx && pointer->y == virty) {
        virtx = 0;
        virty = 0;
        lblPosition.FontColor = kWhite;
        return;
    }
    const Point origin = desktop_.PointerPosition().value_or(*pointer);
    virtx = origin.x;
    virty = origin.y;
    lblPosition.FontColor = MakeColour(255, 255, 0);
}

void Tfrmmain::CopyImagetoClipboard1Click() {
    desktop_.ClearClipboard();
    imageview1->CopyToClipBoard();
}

void Tfrmmain::mnuCopyCoord1Click() {
    desktop_.SetClipboardText(lblPosition.Caption);
}

void Tfrmmain::Enabled1Click() {
    Enabled1.Checked = !Enabled1.Checked;
    Timer1.Enabled = Enabled1.Checked;
    // Sampling picks up with a fresh frame even when nothing moved while it was paused.
    if (Enabled1.Checked)
        imageview1->RefreshPicture();
}

void Tfrmmain::ShowHideProgram1Click() {
    if (storage_)
        storage_->SaveFormPlacement();
    WMHotKey();
}

void Tfrmmain::WMHotKey() {
    if (Visible())
        services_->HideApplication();
    else
        services_->ShowApplication();
}

void Tfrmmain::StayinSystemTray1Click() {
    StayinSystemTray1.Checked = !StayinSystemTray1.Checked;
    AllowClose = !StayinSystemTray1.Checked;
}

void Tfrmmain::RunonStartup1Click() {
    services_->ToggleRunOnStartup(RunonStartup1);
}

void Tfrmmain::VisitTarnwellSoftwareWebsite1Click() {
    const std::string address = VendorHomePage();
    if (desktop_.ShellOpen(address) < 32)
        desktop_.ShowMessage("The following link is invalid :\n\r" + address, "Warning",
                             MessageIcon::Warning, false);
}

void Tfrmmain::CheckforUpdates1Click() {
    CheckforUpdates1.Enabled = false;
    services_->CheckForUpdates(*this);
}

void Tfrmmain::ShowHelpfile1Click() {
    desktop_.ShellOpen(HelpPage());
}

void Tfrmmain::AboutLupenta1Click() {
    AboutLupenta1.Enabled = false;
    {
        const StayOnTopPause onTop(*this);
        services_->ShowAbout(version);
        AboutLupenta1.Enabled = true;
    }
}

void Tfrmmain::Exit1Click() {
    AllowClose = true;
    Close();
}

void Tfrmmain::btnCloseClick() {
    if (AllowClose)
        Close();
    else
        services_->HideApplication();
}

void Tfrmmain::btnOptionsClick() {
    if (const auto pointer = desktop_.PointerPosition())
        mnuMain.Popup(pointer->x, pointer->y);
}

} // namespace lupenta
