#include "main/ColourForms.h"
#include "main/Readout.h"
#include "main/fmMagnifier.h"
#include "ui/Application.h"

namespace lupenta {

// Every colour copy is confirmed the same way, whichever command made it. The list is written
// at once, like any other setting a command changes, so it is kept however the program ends.
void Tfrmmain::CopyColour(Colour colour, const std::string& text) {
    desktop_.SetClipboardText(text);
    recentcolours.Add(colour);
    WriteSettings();
    Announce("Copied " + text);
    ui::Application.ShowMessage(desktop_, "copied", MessageIcon::None, true);
}

void Tfrmmain::CopyColortoClipboard1Click() {
    CopyColour(pnlColor.Color, pnlColor.Caption);
}

void Tfrmmain::CopyColorAsClick(ui::TMenuItem& item) {
    const Colour colour = pnlColor.Color;
    CopyColour(colour, ColourForms[static_cast<std::size_t>(item.Tag.Get())].text(colour));
}

void Tfrmmain::RecentColorClick(Colour colour) {
    CopyColour(colour, ColourText(colour, HTMLCode1.Checked));
}

// The captions are the very texts a click copies, so the menu shows what the user will get.
void Tfrmmain::mnuColorDisplayPopup() {
    const Colour shown = pnlColor.Color;
    for (const auto& item : copyAsItems) {
        const ColourForm& form = ColourForms[static_cast<std::size_t>(item->Tag.Get())];
        item->Caption = form.text(shown) + "\t" + form.label;
    }

    mnuRecentColors.Clear();
    recentItems.clear();
    for (const Colour colour : recentcolours.Colours()) {
        auto item = std::make_unique<ui::TMenuItem>("mnuRecentColor" +
                                                        std::to_string(recentItems.size() + 1),
                                                    ColourText(colour, HTMLCode1.Checked));
        item->Swatch = colour;
        item->OnClick = [this, colour] { RecentColorClick(colour); };
        mnuRecentColors.Add(*item);
        recentItems.push_back(std::move(item));
    }
    // Nothing copied yet: the item shows that the list exists but has nothing to offer.
    mnuRecentColors.Enabled = !recentItems.empty();
}

} // namespace lupenta
