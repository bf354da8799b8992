#pragma once

// The controls that only dialogs use, in the same component model as the main window's panel:
// text labels with their own font, push buttons, link labels, check boxes, edit fields,
// sliders, pictures and tab pages.

#include "ui/Controls.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lupenta::ui {

// Height in pixels at 96 dots per inch, as the dialogs are designed.
struct TFont {
    std::string Name = "Segoe UI";
    int Height = 12;
    bool Bold = false;

    friend bool operator==(const TFont&, const TFont&) = default;
};

enum class TAlignment { Left, Center };

// A label that draws over the dialog's background. With AutoSize it grows to its text, line
// breaks included; otherwise it keeps its bounds and aligns its text within them.
class TTextLabel : public TLabel {
public:
    TTextLabel(std::string name, Rect bounds, std::string caption)
        : TLabel(std::move(name), bounds, std::move(caption), kBlack) {}

    std::optional<TFont> Font;
    TAlignment Alignment = TAlignment::Left;
    bool AutoSize = true;
};

class TButton : public TControl {
public:
    TButton(std::string name, Rect bounds, std::string caption)
        : TControl(std::move(name), bounds), Caption(std::move(caption)) {
        Watch(Caption);
    }

    Property<std::string> Caption;
    std::function<void()> OnClick;

    void Click() {
        if (OnClick)
            OnClick();
    }
};

// The parts of a link label's text "before<link>link</link>after"; without complete markup
// the whole text is plain.
struct LinkMarkup {
    std::string before;
    std::string link;
    std::string after;
    bool hasLink = false;
};
LinkMarkup ParseLinkMarkup(const std::string& text);

// A label whose text carries one link. A click anywhere on the control raises OnClick; a click
// released over the link words also raises OnLinkClick.
class TLinkLabel : public TControl {
public:
    TLinkLabel(std::string name, Rect bounds, std::string text)
        : TControl(std::move(name), bounds), Text(std::move(text)) {
        Watch(Text);
    }

    Property<std::string> Text;
    std::optional<TFont> Font;
    // No colour means the system's highlight colour.
    std::optional<Colour> LinkColor = MakeColour(0, 0, 255);
    Colour HotColor = MakeColour(128, 0, 128);
    Colour ClickedColor = MakeColour(255, 0, 0);
    bool HotLinks = false;
    // The link is drawn underlined, or else bold.
    bool UnderlineLink = true;
    std::function<void()> OnClick;
    std::function<void(Component& sender)> OnLinkClick;

    void Click(bool onLink) {
        if (OnClick)
            OnClick();
        if (onLink && OnLinkClick)
            OnLinkClick(*this);
    }
};

class TCheckBox : public TControl {
public:
    TCheckBox(std::string name, Rect bounds, std::string caption)
        : TControl(std::move(name), bounds), Caption(std::move(caption)) {
        Watch(Checked);
    }

    std::string Caption;
    Property<bool> Checked{false};
};

// The keyboard's modifier keys as a key event reports them.
struct TShiftState {
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
};

// A text field. Setting Text from code shows it; the user's typing comes back through
// UserEdited.
class TEdit : public TControl {
public:
    TEdit(std::string name, Rect bounds, std::string text)
        : TControl(std::move(name), bounds), Text(std::move(text)) {
        Watch(Text);
    }

    Property<std::string> Text;
    bool MultiLine = false;
    bool ScrollBars = false;
    // Keys typed into the field change the text only when this is false.
    bool OwnTextOnly = false;
    std::function<void(int key, TShiftState shift)> OnKeyDown;

    void KeyDown(int key, TShiftState shift) {
        if (OnKeyDown)
            OnKeyDown(key, shift);
    }
    void UserEdited(std::string text) { Text = std::move(text); }
};

// A horizontal slider over whole positions from Min to Max.
class TTrackBar : public TControl {
public:
    TTrackBar(std::string name, Rect bounds, int min, int max)
        : TControl(std::move(name), bounds), Min(min), Max(max) {
        Watch(Position);
    }

    const int Min;
    const int Max;
    Property<int> Position{0};
    std::function<void()> OnChange;

    void UserMoved(int position) {
        Position = position < Min ? Min : (position > Max ? Max : position);
        if (OnChange)
            OnChange();
    }
};

// A picture that the platform draws: the program icon or the product logo.
class TImage : public TControl {
public:
    enum class Picture { ProgramIcon, Logo };
    TImage(std::string name, Rect bounds, Picture picture)
        : TControl(std::move(name), bounds), picture_(picture) {}

    Picture Shows() const { return picture_; }

private:
    Picture picture_;
};

// One page of a page control; its controls are placed relative to the page.
class TTabSheet : public TControl {
public:
    TTabSheet(std::string name, std::string caption)
        : TControl(std::move(name), Rect{}), Caption(std::move(caption)) {}

    std::string Caption;
    std::vector<TControl*> Controls;
};

class TPageControl : public TControl {
public:
    TPageControl(std::string name, Rect bounds) : TControl(std::move(name), bounds) {
        Watch(ActivePageIndex);
    }

    std::vector<TTabSheet*> Pages;
    Property<int> ActivePageIndex{0};
};

} // namespace lupenta::ui
