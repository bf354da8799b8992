#pragma once

#include "ui/PopupMenu.h"
#include "win32/Handles.h"

#include <vector>

#include <windows.h>

namespace lupenta::win32 {

// A real popup menu built from model items, with what it needs for as long as it is shown.
struct BuiltMenu {
    // A menu does not own its items' bitmaps; they are deleted after the menu is destroyed.
    std::vector<UniqueBitmap> swatches;
    UniqueMenu menu;
    // The items that can be chosen: the item with command id n is at index n - 1.
    std::vector<ui::TMenuItem*> commands;
};

BuiltMenu BuildPopupMenu(const std::vector<ui::TMenuItem*>& items);

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
