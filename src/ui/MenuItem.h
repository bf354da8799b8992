#pragma once

#include "platform/Geometry.h"
#include "ui/Component.h"
#include "ui/Property.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lupenta::ui {

// Shortcut values: the low byte is the virtual-key code, plus these modifier flags.
constexpr std::uint16_t kShift = 0x2000;
constexpr std::uint16_t kCtrl = 0x4000;
constexpr std::uint16_t kAlt = 0x8000;

// A menu item, a separator (caption "-") or a submenu (an item with items). The platform
// builds a real menu from these each time one pops up, so items need no peer.
class TMenuItem : public Component {
public:
    TMenuItem(std::string name, std::string caption)
        : Component(std::move(name)), Caption(std::move(caption)) {}

    Property<std::string> Caption;
    Property<bool> Checked{false};
    Property<bool> Enabled{true};
    Property<bool> Visible{true};
    Property<int> Tag{0};
    Property<std::uint16_t> ShortCut{0};
    // A small square of this colour beside the caption.
    Property<std::optional<Colour>> Swatch;
    std::function<void()> OnClick;

    bool IsSeparator() const { return Caption.Get() == "-"; }
    void Add(TMenuItem& item) { items_.push_back(&item); }
    void Clear() { items_.clear(); }
    const std::vector<TMenuItem*>& Items() const { return items_; }

    void Click() {
        if (OnClick)
            OnClick();
    }

private:
    std::vector<TMenuItem*> items_;
};

// Text of a shortcut as a menu shows it beside the caption, for instance "Ctrl+Alt+I".
std::string ShortCutToText(std::uint16_t shortcut);

} // namespace lupenta::ui
