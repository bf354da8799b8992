#include "main/ColourForms.h"
#include "main/ZoomFactors.h"
#include "main/fmMagnifier.h"
#include "view/Aperture.h"

namespace lupenta {

namespace {

using ui::kAlt;
using ui::kCtrl;

// The zoom items are named after their factor: Magnify1X1 ... Magnify12X1, then Magnify16x1 ...
std::string ZoomItemName(int factor) {
    return std::string("Magnify").append(std::to_string(factor)).append(factor <= 12 ? "X1" : "x1");
}

void AddAll(ui::TMenuItem& parent, std::initializer_list<ui::TMenuItem*> items) {
    for (ui::TMenuItem* item : items)
        parent.Add(*item);
}

} // namespace

void Tfrmmain::BuildPanel() {
    cbxZoomLevel.ItemIndex = 1;
    cbxZoomLevel.Hint = "Zoom Level";
    cbxZoomLevel.OnChange = [this] { cbxZoomLevelChange(); };
    btnType.Hint = "Follow Caret Position";
    btnType.AllowAllUp = true;
    btnType.OnClick = [this] { btnTypeClick(); };
    pnlColor.Caption = "Color";
    pnlColor.PopupMenu = &mnuColorDisplay;
    lblPosition.PopupMenu = &mnuCopyCoord;
    SpeedButton1.Hint = "Settings";
    SpeedButton1.Visible = false;
    SpeedButton1.OnClick = [this] { SpeedButton1Click(); };
    btnOptions.Hint = "Settings";
    btnOptions.OnClick = [this] { btnOptionsClick(); };
    btnClose.Hint = "Close";
    btnClose.OnClick = [this] { btnCloseClick(); };
    Panel1.OnMouseDown = [this](MouseButton button) { ImageView1MouseDown(button); };
    Panel1.BevelOuter = ui::TBevelCut::Space;
    pnlContrast.OnMouseDown = Panel1.OnMouseDown;
    pnlContrast.BevelOuter = ui::TBevelCut::Space;
    pnlReference.Hint = "Contrast reference";

    // A screen reader hears the panel as the window's status bar, which names what was last
    // announced, and each readout by what it reads out, with its text as the value.
    Panel1.AccessibleRole = ui::TAccessibleRole::StatusBar;
    pnlColor.AccessibleRole = ui::TAccessibleRole::StaticText;
    pnlColor.AccessibleName = "Color";
    lblPosition.AccessibleName = "Position";
    lblContrast.AccessibleName = "Contrast";
    pnlReference.AccessibleRole = ui::TAccessibleRole::StaticText;
}

void Tfrmmain::BuildMainMenu() {
    for (std::uint16_t factor : ZoomFactors) {
        auto item = std::make_unique<ui::TMenuItem>(ZoomItemName(factor), ZoomCaption(factor));
        item->Tag = factor;
        ui::TMenuItem& ref = *item;
        item->OnClick = [this, &ref] { Magnify1X1Click(ref); };
        ZoomLevel1.Add(*item);
        zoomItems.push_back(std::move(item));
    }

    const struct {
        ui::TMenuItem& item;
        int tag;
        bool visible;
    } rates[] = {{N5xpersecond1, 200, false},
                 {N10xpersecond1, 100, true},
                 {N15xpersecond1, 66, false},
                 {N30xpersecond1, 33, true},
                 {N60xpersecond1, 16, true}};
    for (const auto& rate : rates) {
        rate.item.Tag = rate.tag;
        rate.item.Visible = rate.visible;
        rate.item.OnClick = [this, &item = rate.item] { N1xpersecond1Click(item); };
        UpdateFrequency1.Add(rate.item);
    }

    const struct {
        ui::TMenuItem& item;
        int tag;
    } spacings[] = {{NoGrid1, 0},     {N1pixel1, 1},    {N5pixels1, 5},
                    {N10pixels1, 10}, {N20pixels1, 20}, {N50pixels1, 50}};
    for (const auto& spacing : spacings) {
        spacing.item.Tag = spacing.tag;
        spacing.item.OnClick = [this, &item = spacing.item] { N1pixel1Click(item); };
        GridSpacing1.Add(spacing.item);
    }
    AddAll(DrawGrid1, {&GridSpacing1, &DrawFixedGrid1});
    AddAll(FlipScreen1, {&FlipHorizontally1, &FlipVertically1});
    const struct {
        ui::TMenuItem& menu;
        const char* prefix;
    } sampleMenus[] = {{SampleSize1, "SampleSize"}, {mnuSampleSize, "mnuSampleSize"}};
    for (const auto& [menu, prefix] : sampleMenus)
        for (int size : SampleSizes) {
            const std::string side = std::to_string(size);
            auto item =
                std::make_unique<ui::TMenuItem>(prefix + side + "x" + side, side + "\u00D7" + side);
            item->Tag = size;
            item->Checked = size == 1;
            ui::TMenuItem& ref = *item;
            item->OnClick = [this, &ref] { SampleSizeClick(ref); };
            menu.Add(*item);
            sampleSizeItems.push_back(std::move(item));
        }
    AddAll(ColorDisplay1, {&RGBValues1, &HTMLCode1, &N11, &SampleSize1});
    for (std::size_t form = 0; form < ColourForms.size(); ++form) {
        auto item = std::make_unique<ui::TMenuItem>("mnuCopyColorAs" + std::to_string(form + 1),
                                                    ColourForms[form].label);
        item->Tag = static_cast<int>(form);
        ui::TMenuItem& ref = *item;
        item->OnClick = [this, &ref] { CopyColorAsClick(ref); };
        mnuCopyColorAs.Add(*item);
        copyAsItems.push_back(std::move(item));
    }
    mnuRecentColors.Enabled = false;

    const struct {
        ui::TMenuItem& item;
        std::uint16_t shortcut;
        void (Tfrmmain::*click)();
    } commands[] = {
        {Smoothen1, 0, &Tfrmmain::Smoothen1Click},
        {InvertImage1, kCtrl | kAlt | 'I', &Tfrmmain::InvertImage1Click},
        {FlipHorizontally1, kCtrl | kAlt | 'H', &Tfrmmain::FlipHorizontally1Click},
        {FlipVertically1, kCtrl | kAlt | 'V', &Tfrmmain::FlipVertically1Click},
        {Showcursor1, 0, &Tfrmmain::Showcursor1Click},
        {DrawCrossHair1, 0, &Tfrmmain::DrawCrossHair1Click},
        {DrawFixedGrid1, 0, &Tfrmmain::DrawFixedGrid1Click},
        {RGBValues1, 0, &Tfrmmain::RGBValues1Click},
        {HTMLCode1, 0, &Tfrmmain::HTMLCode1Click},
        {ShowHideTitlebar1, 0, &Tfrmmain::ShowHideTitlebar1Click},
        {ShowPanel1, 0, &Tfrmmain::ShowPanel1Click},
        {StayOnTop1, kCtrl | kAlt | ' ', &Tfrmmain::StayOnTop1Click},
        {MakeWindowTransparent1, kCtrl | kAlt | 'T', &Tfrmmain::MakeWindowTransparent1Click},
        {Setdefaultwindowsize1, 0, &Tfrmmain::Setdefaultwindowsize1Click},
        {FlipwhenHovered1, kCtrl | kAlt | 'P', &Tfrmmain::FlipwhenHovered1Click},
        {FollowCaretPosition1, 0, &Tfrmmain::FollowCaretPosition1Click},
        {FixedLocation1, kCtrl | kAlt | 'F', &Tfrmmain::FixedLocation1Click},
        {SetVirtualOrigin1, kCtrl | kAlt | 'O', &Tfrmmain::SetVirtualOrigin1Click},
        {SetContrastReference1, kCtrl | kAlt | 'R', &Tfrmmain::SetContrastReference1Click},
        {ClearContrastReference1, 0, &Tfrmmain::ClearContrastReference1Click},
        {CopyImagetoClipboard1, kCtrl | kAlt | 'C', &Tfrmmain::CopyImagetoClipboard1Click},
        {Enabled1, kCtrl | kAlt | 'E', &Tfrmmain::Enabled1Click},
        {ShowHideProgram1, kCtrl | kAlt | 'G', &Tfrmmain::ShowHideProgram1Click},
        {StayinSystemTray1, 0, &Tfrmmain::StayinSystemTray1Click},
        {RunonStartup1, 0, &Tfrmmain::RunonStartup1Click},
        {VisitTarnwellSoftwareWebsite1, 0, &Tfrmmain::VisitTarnwellSoftwareWebsite1Click},
        {CheckforUpdates1, 0, &Tfrmmain::CheckforUpdates1Click},
        {ShowHelpfile1, 0x70, &Tfrmmain::ShowHelpfile1Click},
        {AboutLupenta1, 0, &Tfrmmain::AboutLupenta1Click},
        {Exit1, kAlt | 0x73, &Tfrmmain::Exit1Click},
        {CopyColortoClipboard2, 0, &Tfrmmain::CopyColortoClipboard1Click},
        {mnuRGB, 0, &Tfrmmain::RGBValues1Click},
        {mnuHTML, 0, &Tfrmmain::HTMLCode1Click},
        {mnuCopyCoord1, 0, &Tfrmmain::mnuCopyCoord1Click},
        {mnuSetContrastReference, kCtrl | kAlt | 'R', &Tfrmmain::SetContrastReference1Click},
        {mnuClearContrastReference, 0, &Tfrmmain::ClearContrastReference1Click},
    };
    for (const auto& command : commands) {
        command.item.ShortCut = command.shortcut;
        command.item.OnClick = [this, click = command.click] { (this->*click)(); };
    }
    for (ui::TMenuItem* checked :
         {&Showcursor1, &RGBValues1, &ShowPanel1, &Enabled1, &StayinSystemTray1, &mnuRGB})
        checked->Checked = true;
    for (ui::TMenuItem* clear : {&ClearContrastReference1, &mnuClearContrastReference})
        clear->Enabled = false;

    for (ui::TMenuItem* item : {&ZoomLevel1,
                                &UpdateFrequency1,
                                &Smoothen1,
                                &InvertImage1,
                                &FlipScreen1,
                                &N2,
                                &Showcursor1,
                                &DrawCrossHair1,
                                &DrawGrid1,
                                &ColorDisplay1,
                                &N7,
                                &ShowHideTitlebar1,
                                &ShowPanel1,
                                &StayOnTop1,
                                &MakeWindowTransparent1,
                                &Setdefaultwindowsize1,
                                &FlipwhenHovered1,
                                &N8,
                                &FollowCaretPosition1,
                                &FixedLocation1,
                                &SetVirtualOrigin1,
                                &SetContrastReference1,
                                &ClearContrastReference1,
                                &N9,
                                &CopyImagetoClipboard1,
                                &N6,
                                &Enabled1,
                                &ShowHideProgram1,
                                &StayinSystemTray1,
                                &RunonStartup1,
                                &N1,
                                &VisitTarnwellSoftwareWebsite1,
                                &CheckforUpdates1,
                                &ShowHelpfile1,
                                &AboutLupenta1,
                                &Exit1})
        mnuMain.Add(*item);
    for (ui::TMenuItem* item :
         {&CopyColortoClipboard2, &mnuCopyColorAs, &mnuRecentColors, &mnuSetContrastReference,
          &mnuClearContrastReference, &N10, &mnuRGB, &mnuHTML, &N12, &mnuSampleSize})
        mnuColorDisplay.Add(*item);
    mnuColorDisplay.OnPopup = [this] { mnuColorDisplayPopup(); };
    mnuCopyCoord.Add(mnuCopyCoord1);
}

// The submenus hold the rate and spacing items and nothing else, so they are the one list.
std::vector<ui::TMenuItem*> Tfrmmain::RateItems() {
    return UpdateFrequency1.Items();
}

std::vector<ui::TMenuItem*> Tfrmmain::SpacingItems() {
    return GridSpacing1.Items();
}

std::vector<ui::Component*> Tfrmmain::Components() {
    std::vector<ui::Component*> components{&Panel1,   &cbxZoomLevel, &btnType,      &lblColor,
                                           &pnlColor, &lblPosition,  &SpeedButton1, &btnOptions,
                                           &btnClose, &pnlContrast,  &lblContrast,  &pnlReference,
                                           &Timer1};
    const auto addMenu = [&](const auto& self, const std::vector<ui::TMenuItem*>& items) -> void {
        for (ui::TMenuItem* item : items) {
            components.push_back(item);
            self(self, item->Items());
        }
    };
    addMenu(addMenu, mnuMain.Items());
    addMenu(addMenu, mnuColorDisplay.Items());
    addMenu(addMenu, mnuCopyCoord.Items());
    return components;
}

} // namespace lupenta
