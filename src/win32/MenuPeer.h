#pragma once

#include "ui/PopupMenu.h"

#include <vector>

#include <windows.h>

namespace lupenta::win32 {

// A real popup menu built from model items; `commands` receives the items that can be chosen,
// the item with command id n at index n - 1.
HMENU BuildPopupMenu(const std::vector<ui::TMenuItem*>& items,
                     std::vector<ui::TMenuItem*>& commands);

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
