#include "main/WindowStyles.h"
#include "main/fmMagnifier.h"

namespace lupenta {

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

// Only the left button drags: a move started by another button would keep the window on the
// pointer after that button is released, and the right button's click must open the menu.
void Tfrmmain::ImageView1MouseDown(MouseButton button) {
    if (button == MouseButton::Left)
        StartMove();
}

void Tfrmmain::SetStayOnTop(bool onTop) {
    SetTopmost(onTop);
}

void Tfrmmain::SetTransparency() {
    if (MakeWindowTransparent1.Checked) {
        SetAlphaBlend(true);
        SetAlphaBlendValue(Transparency & 0xFF);
    } else {
        SetAlphaBlend(false);
    }
}

void Tfrmmain::Setdefaultwindowsize1Click() {
    SetBoundsRect(Rect::FromSize(0, 0, 480, 320));
}

} // namespace lupenta
