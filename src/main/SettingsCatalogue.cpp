#include "main/ZoomFactors.h"
#include "main/fmMagnifier.h"
#include "settings/FormStorage.h"
#include "settings/SettingsStore.h"
#include "view/Aperture.h"

#include <algorithm>

namespace lupenta {

namespace {

const char* BooleanText(bool value) {
    return value ? "True" : "False";
}

// Numbers from the file are held to ranges the sampling and drawing arithmetic can work in
// with room to spare: a fixed location within a million pixels of the origin, far beyond any
// desktop, and a grid spacing no wider than 65536 pixels, wider than any view.
constexpr int kCoordinateLimit = 1 << 20;
constexpr int kGridSpacingLimit = 1 << 16;

} // namespace

void Tfrmmain::WriteSettings() {
    if (!storage_)
        return;
    TFormStorage& s = *storage_;
    s.WriteString("InvertImage1_Checked", BooleanText(InvertImage1.Checked));
    s.WriteString("DrawCrossHair1_Checked", BooleanText(DrawCrossHair1.Checked));
    s.WriteString("DrawGrid1_Checked", BooleanText(DrawGrid1.Checked));
    s.WriteString("Panel1_Visible", BooleanText(Panel1.Visible));
    s.WriteString("MakeWindowTransparent1_Checked", BooleanText(MakeWindowTransparent1.Checked));
    s.WriteString("ShowCursor1_Checked", BooleanText(Showcursor1.Checked));
    s.WriteString("ShowTitlebar", BooleanText(showtitle));
    s.WriteString("Stayontop1_Checked", BooleanText(StayOnTop1.Checked));
    s.WriteString("RGBValues1_Checked", BooleanText(RGBValues1.Checked));
    s.WriteString("Smoothen1_Checked", BooleanText(Smoothen1.Checked));
    s.WriteInteger("Combobox1_Itemindex", AboutLupenta1.Tag);
    s.WriteInteger("Timer1_Interval", Timer1.Interval);
    s.WriteInteger("memX", memX);
    s.WriteInteger("memY", memY);
    s.WriteInteger("Pixlevel", pixlevel);
    // A first run writes only the keys it always wrote; once a sample size has been chosen
    // the key stays, so choosing one pixel again is kept too.
    if (samplesize != 1 || !s.ReadString("SampleSize", "").empty())
        s.WriteInteger("SampleSize", samplesize);
    // Until a colour is copied the list is empty and the file has no line for it.
    if (!recentcolours.Colours().empty())
        s.WriteString("RecentColors", recentcolours.Text());
}

int Tfrmmain::ReadIntegerSetting(const char* name, int defaultValue) {
    if (!storage_)
        return defaultValue;
    try {
        return storage_->ReadInteger(name, defaultValue);
    } catch (const ConversionError& error) {
        // A hand-edited value that is no integer must not leave the window half set up.
        ShowError(error.what());
        return defaultValue;
    }
}

std::string Tfrmmain::ReadStringSetting(const char* name, const char* defaultValue) {
    return storage_ ? storage_->ReadString(name, defaultValue) : defaultValue;
}

// Applies every setting to the menu, the view and the window, after the form storage has
// restored the stored properties.
void Tfrmmain::ReadShowSettings() {
    InvertImage1.Checked = ReadStringSetting("InvertImage1_Checked", "False") == "True";
    version = services_->Version();
    SetCaption("Lupenta " + version);
    memX = std::clamp(ReadIntegerSetting("memX", 0), -kCoordinateLimit, kCoordinateLimit);
    memY = std::clamp(ReadIntegerSetting("memY", 0), -kCoordinateLimit, kCoordinateLimit);
    pixlevel = std::clamp(ReadIntegerSetting("pixlevel", 0), -kGridSpacingLimit, kGridSpacingLimit);
    imageview1->SetGridlevel(pixlevel);
    imageview1->SetFixedGrid(DrawFixedGrid1.Checked);
    imageview1->SetFlipHorizontal(FlipHorizontally1.Checked);
    imageview1->SetFlipVertical(FlipVertically1.Checked);
    followkey = btnType.Down;
    for (ui::TMenuItem* item : SpacingItems())
        if (item->Tag == pixlevel)
            item->Checked = true;
    HTMLCode1.Checked = !RGBValues1.Checked;
    mnuHTML.Checked = !RGBValues1.Checked;
    mnuRGB.Checked = RGBValues1.Checked;
    imageview1->SetZoom(ZoomFactorAt(cbxZoomLevel.ItemIndex));
    setzoomchecked();
    SetStayOnTop(StayOnTop1.Checked);
    ShowPanel1.Checked = Panel1.Visible;
    imageview1->SetGetcolor(Panel1.Visible);
    imageview1->SetDrawCross(DrawCrossHair1.Checked);
    imageview1->SetShowCursor(Showcursor1.Checked && offsetx == 0 && offsety == 0);
    imageview1->SetSmoothen(Smoothen1.Checked);
    imageview1->SetInvert(InvertImage1.Checked);
    SetTransparency();
    setFreqChecked();
    if (ReadStringSetting("ShowTitlebar", "False") == "True") {
        showtitle = true;
        Showtitlebar();
    } else {
        showtitle = false;
        Hidetitlebar();
    }
    AboutLupenta1.Tag = cbxZoomLevel.ItemIndex;
    const int storedSize = ReadIntegerSetting("SampleSize", 1);
    samplesize = std::find(SampleSizes.begin(), SampleSizes.end(), storedSize) != SampleSizes.end()
                     ? storedSize
                     : 1;
    imageview1->SetSampleSize(samplesize);
    setSampleSizeChecked();
    recentcolours = RecentColours::FromText(ReadStringSetting("RecentColors", ""));
}

} // namespace lupenta
