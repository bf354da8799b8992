#include "main/fmMagnifier.h"

#include "main/ZoomFactors.h"
#include "settings/FormStorage.h"
#include "ui/Application.h"

namespace lupenta {

namespace {

std::vector<std::string> ZoomCaptions() {
    std::vector<std::string> captions;
    for (std::uint16_t factor : ZoomFactors)
        captions.push_back(ZoomCaption(factor));
    return captions;
}

constexpr Colour kPanelGrey = MakeColour(95, 95, 95);
} // namespace

Tfrmmain::Tfrmmain(Desktop& desktop)
    : Panel1("Panel1", Rect::FromSize(0, 0, kDesignClientWidth, kPanelHeight), kPanelGrey),
      cbxZoomLevel("cbxZoomLevel", Rect::FromSize(5, 3, 84, 23), ZoomCaptions()),
      btnType("btnType", Rect::FromSize(91, 2, 25, 25), "caret"),
      lblColor("lblColor", Rect::FromSize(144, 7, 33, 15), "Color", kHighlightText),
      pnlColor("pnlColor", Rect::FromSize(179, 5, 122, 20), kPanelGrey),
      lblPosition("lblPosition", Rect::FromSize(306, 7, 104, 15), "Position :", kHighlightText),
      SpeedButton1("SpeedButton1", Rect::FromSize(382, 2, 25, 25), "settings"),
      btnOptions("btnOptions", Rect::FromSize(413, 2, 25, 25), "settings"),
      btnClose("btnClose", Rect::FromSize(439, 2, 25, 25), "close"),
      pnlContrast("pnlContrast", Rect::FromSize(0, 0, kDesignClientWidth, kContrastBarHeight),
                  kPanelGrey),
      lblContrast("lblContrast", Rect::FromSize(5, 6, 130, 15), "", kHighlightText),
      pnlReference("pnlReference", Rect::FromSize(179, 3, 122, 20), kPanelGrey), desktop_(desktop) {
    BuildPanel();
    BuildMainMenu();
    Timer1.OnTimer = [this] { Timer1Timer(); };
}

Tfrmmain::~Tfrmmain() = default;

void Tfrmmain::FormCreate() {
    AllowClose = false;
    followkey = btnType.Down;
    imageview1 = std::make_unique<TImageView>(desktop_);
    imageview1->OnDblClick = [this] { ImageView1DblClick(); };
    imageview1->OnMouseDown = [this](MouseButton button) { ImageView1MouseDown(button); };
    imageview1->OnMouseUp = [this] { ImageView1MouseUp(); };
    imageview1->AccessibleName = "Magnified view";
    offsetx = 0;
    offsety = 0;
    Transparency = 160;
    virtx = 0;
    virty = 0;
    AlignControls();
}

void Tfrmmain::SetTrace(FrameTrace* trace) {
    trace_ = trace;
    if (imageview1)
        imageview1->SetTrace(trace);
}

void Tfrmmain::FormShow() {
    AllowClose = !StayinSystemTray1.Checked;
    SetLayeredAlpha(255);
    ReadShowSettings();
}

void Tfrmmain::FormHide() {
    WriteSettings();
}

bool Tfrmmain::FormCloseQuery() {
    if (AllowClose)
        return true;
    services_->HideApplication();
    return false;
}

// The contrast bar sits on top of the panel, so the panel's controls stay where they are and
// the view gives up the room.
void Tfrmmain::AlignControls() {
    pnlContrast.Visible = Panel1.Visible && contrastref.has_value();
    const int panelHeight = Panel1.Visible ? kPanelHeight : 0;
    const int barHeight = pnlContrast.Visible ? kContrastBarHeight : 0;
    Panel1.Bounds = Rect::FromSize(0, ClientHeight() - kPanelHeight, ClientWidth(), kPanelHeight);
    pnlContrast.Bounds = Rect::FromSize(0, ClientHeight() - panelHeight - kContrastBarHeight,
                                        ClientWidth(), kContrastBarHeight);
    // The settings and close buttons keep their distance from the panel's right edge.
    const int right = ClientWidth();
    SpeedButton1.Bounds = Rect::FromSize(right - 86, 2, 25, 25);
    btnOptions.Bounds = Rect::FromSize(right - 55, 2, 25, 25);
    btnClose.Bounds = Rect::FromSize(right - 29, 2, 25, 25);
    if (imageview1)
        imageview1->SetBounds(
            Rect::FromSize(0, 0, ClientWidth(), ClientHeight() - panelHeight - barHeight));
    FormResize();
}

void Tfrmmain::FormResize() {
    const int width = BoundsRect().Width();
    lblPosition.Visible = width >= 480;
    pnlColor.Visible = width >= 370;
    lblColor.Visible = width >= 370;
    pnlReference.Visible = width >= 370;
    btnType.Visible = width >= 200;
    btnOptions.Visible = width >= 173;
}

void Tfrmmain::ShowError(const std::string& text) {
    ui::Application.ShowMessage(desktop_, text, MessageIcon::Error, false);
}

std::string VendorHomePage() {
    return std::string("http://") + LUPENTA_VENDOR_HOST + "/";
}
std::string HelpPage() {
    return std::string("https://") + LUPENTA_VENDOR_HOST + "/lupenta/help/";
}

} // namespace lupenta
