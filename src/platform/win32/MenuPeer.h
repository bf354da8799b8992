#pragma once

#include "ui/PopupMenu.h"

#include <windows.h>

namespace lupenta::win32 {

// Builds a real popup menu from the model each time it pops up, tracks it, and runs the
// chosen item's click.
class MenuPeer final : public ui::PopupMenuPeer {
public:
    explicit MenuPeer(HWND owner) : owner_(owner) {}
    void Popup(ui::TPopupMenu& menu, int x, int y) override;

private:
    HWND owner_;
};

} // namespace lupenta::win32
