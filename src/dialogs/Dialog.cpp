#include "dialogs/Dialog.h"

namespace lupenta {

TDialog::TDialog(std::string caption, int clientWidth, int clientHeight)
    : Caption(std::move(caption)), DesignClientWidth(clientWidth), DesignClientHeight(clientHeight),
      clientWidth_(clientWidth), clientHeight_(clientHeight) {}

bool TDialog::FormKeyDown(int) {
    return false;
}

void TDialog::Close(ModalResult result) {
    closed_ = true;
    result_ = result;
}

void TDialog::Add(ui::TControl& control, Anchors anchors) {
    controls_.push_back(&control);
    if (anchors.right || anchors.bottom)
        anchored_.emplace_back(&control, anchors);
}

void TDialog::ClientResized(int width, int height) {
    const int dx = width - clientWidth_;
    const int dy = height - clientHeight_;
    clientWidth_ = width;
    clientHeight_ = height;
    for (auto& [control, anchors] : anchored_) {
        Rect b = control->Bounds;
        if (anchors.right) {
            b.left += dx;
            b.right += dx;
        }
        if (anchors.bottom) {
            b.top += dy;
            b.bottom += dy;
        }
        control->Bounds = b;
    }
}

} // namespace lupenta
