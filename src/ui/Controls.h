#pragma once

// The small controls of a window: panel, label, combo box and speed button.

#include "platform/Geometry.h"
#include "ui/Component.h"
#include "ui/Property.h"

#include <functional>
#include <string>
#include <vector>

namespace lupenta::ui {

class TPopupMenu;

// What a screen reader is told a control is.
enum class TAccessibleRole { Pane, StatusBar, StaticText, PushButton };

// What every visible control has: a place in its parent, a hint, a context menu, and a role
// and name for screen readers.
class TControl : public Component {
public:
    TControl(std::string name, Rect bounds, TAccessibleRole role = TAccessibleRole::Pane)
        : Component(std::move(name)), Bounds(bounds), AccessibleRole(role) {
        Watch(Visible, kPlacement);
        Watch(Bounds, kPlacement);
        Watch(Hint, kHint);
        AccessibleName.OnChange([this] { SpokenChanged(); });
    }

    Property<bool> Visible{true};
    Property<Rect> Bounds;
    Property<std::string> Hint;
    TPopupMenu* PopupMenu = nullptr;
    TAccessibleRole AccessibleRole;
    // Empty names the control by its hint.
    Property<std::string> AccessibleName;

    std::string SpokenName() const {
        return AccessibleName.Get().empty() ? Hint.Get() : AccessibleName.Get();
    }
    // Has a screen reader say `text` now, wherever its attention is: the control takes the
    // text as its name and tells the reader, even when the text is the same as last time.
    void Announce(std::string text) {
        ++announcements_;
        if (AccessibleName.Get() == text)
            SpokenChanged();
        else
            AccessibleName = std::move(text);
    }
    int Announcements() const { return announcements_; }

private:
    void SpokenChanged() {
        if (Peer())
            Peer()->SpokenChanged();
    }

    int announcements_ = 0;
};

enum class TBevelCut { None, Lowered, Raised, Space };

class TPanel : public TControl {
public:
    TPanel(std::string name, Rect bounds, Colour colour)
        : TControl(std::move(name), bounds), Color(colour) {
        Watch(Color, kLook);
        Watch(FontColor, kLook);
        Watch(Caption, kText);
        Watch(BevelOuter, kLook);
    }

    Property<Colour> Color;
    // A frame of BevelWidth pixels just inside the panel's edge.
    Property<TBevelCut> BevelOuter{TBevelCut::None};
    int BevelWidth = 1;
    Property<Colour> FontColor{kBlack};
    Property<std::string> Caption;
    std::function<void(MouseButton)> OnMouseDown;
};

class TLabel : public TControl {
public:
    TLabel(std::string name, Rect bounds, std::string caption, Colour fontColour)
        : TControl(std::move(name), bounds, TAccessibleRole::StaticText),
          Caption(std::move(caption)), FontColor(fontColour) {
        Watch(Caption, kText);
        Watch(FontColor, kLook);
    }

    Property<std::string> Caption;
    Property<Colour> FontColor;
};

// A drop-down list without free text. Setting ItemIndex from code raises no change event;
// the user's choices do, through UserSelected.
class TComboBox : public TControl {
public:
    TComboBox(std::string name, Rect bounds, std::vector<std::string> items)
        : TControl(std::move(name), bounds), items_(std::move(items)) {
        // As in the platform's list, an index outside the entries selects nothing; so does
        // one restored from a hand-edited settings file.
        ItemIndex.OnChange([this] {
            if (ItemIndex < -1 || ItemIndex >= static_cast<int>(items_.size())) {
                ItemIndex = -1;
                return;
            }
            Changed(kState);
        });
    }

    Property<int> ItemIndex{-1};
    std::function<void()> OnChange;

    const std::vector<std::string>& Items() const { return items_; }
    void UserSelected(int index) {
        ItemIndex = index;
        if (OnChange)
            OnChange();
    }

private:
    std::vector<std::string> items_;
};

// A flat button with a glyph. With AllowAllUp it toggles: it stays down when clicked and comes
// up on the next click.
class TSpeedButton : public TControl {
public:
    TSpeedButton(std::string name, Rect bounds, std::string glyph)
        : TControl(std::move(name), bounds, TAccessibleRole::PushButton), glyph_(std::move(glyph)) {
        Watch(Down, kLook | kState);
    }

    Property<bool> Down{false};
    bool AllowAllUp = false;
    std::function<void()> OnClick;

    // Names the picture the platform draws on the button.
    const std::string& Glyph() const { return glyph_; }
    void Click() {
        if (AllowAllUp)
            Down = !Down;
        if (OnClick)
            OnClick();
    }

private:
    std::string glyph_;
};

} // namespace lupenta::ui
