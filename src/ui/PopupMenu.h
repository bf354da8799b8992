#pragma once

#include "ui/MenuItem.h"

#include <cstdint>
#include <functional>

namespace lupenta::ui {

class TPopupMenu;

// Shows a popup menu at a screen point and runs the chosen item's click.
class PopupMenuPeer {
public:
    virtual ~PopupMenuPeer() = default;
    virtual void Popup(TPopupMenu& menu, int x, int y) = 0;
};

class TPopupMenu {
public:
    explicit TPopupMenu(std::string name) : root_(std::move(name), "") {}

    const std::string& Name() const { return root_.Name(); }
    void Add(TMenuItem& item) { root_.Add(item); }
    const std::vector<TMenuItem*>& Items() const { return root_.Items(); }

    void AttachPeer(PopupMenuPeer* peer) { peer_ = peer; }
    // Runs OnPopup, so the items can show what is true now, then shows the menu.
    void Popup(int x, int y) {
        if (OnPopup)
            OnPopup();
        if (peer_)
            peer_->Popup(*this, x, y);
    }

    std::function<void()> OnPopup;

    // Runs the click of the visible, enabled item (searching submenus too) whose shortcut is
    // `shortcut`; true when one ran.
    bool DispatchShortCut(std::uint16_t shortcut);

private:
    TMenuItem root_;
    PopupMenuPeer* peer_ = nullptr;
};

} // namespace lupenta::ui
