#include "ui/Form.h"

namespace lupenta::ui {

void TForm::SetBoundsRect(const Rect& bounds) {
    bounds_ = bounds;
    if (peer_)
        peer_->SetBoundsRect(bounds);
}

void TForm::SetLeft(int left) {
    const Rect r = BoundsRect();
    SetBoundsRect(Rect::FromSize(left, r.top, r.Width(), r.Height()));
}

void TForm::SetTop(int top) {
    const Rect r = BoundsRect();
    SetBoundsRect(Rect::FromSize(r.left, top, r.Width(), r.Height()));
}

void TForm::SetStyle(std::uint32_t style) {
    style_ = style;
    if (peer_)
        peer_->SetStyle(style);
}

void TForm::SetCaption(const std::string& caption) {
    caption_ = caption;
    if (peer_)
        peer_->SetCaption(caption);
}

void TForm::Close() {
    if (peer_)
        peer_->Close();
    else
        visible_ = false;
}

void TForm::SetAlphaBlend(bool on) {
    if (on == alphaBlend_)
        return;
    alphaBlend_ = on;
    if (!peer_)
        return;
    if (on)
        peer_->SetLayeredAlpha(alphaBlendValue_);
    else
        peer_->ClearLayered();
}

void TForm::SetAlphaBlendValue(int value) {
    if (value == alphaBlendValue_)
        return;
    alphaBlendValue_ = value;
    if (alphaBlend_ && peer_)
        peer_->SetLayeredAlpha(value);
}

void TForm::ClientResized(int width, int height) {
    clientWidth_ = width;
    clientHeight_ = height;
    AlignControls();
}

} // namespace lupenta::ui
