#include "main/ColourForms.h"
#include "main/fmMagnifier.h"

namespace lupenta {

// Every colour copy is confirmed the same way, whichever command made it.
void Tfrmmain::CopyColour(Colour, const std::string& text) {
    desktop_.SetClipboardText(text);
    Announce("Copied " + text);
    desktop_.ShowMessage("copied", "Lupenta", MessageIcon::None, true);
}

void Tfrmmain::CopyColortoClipboard1Click() {
    CopyColour(pnlColor.Color, pnlColor.Caption);
}

void Tfrmmain::CopyColorAsClick(ui::TMenuItem& item) {
    const Colour colour = pnlColor.Color;
    CopyColour(colour, ColourForms[static_cast<std::size_t>(item.Tag.Get())].text(colour));
}

// The captions are the very texts a click copies, so the menu shows what the user will get.
void Tfrmmain::mnuColorDisplayPopup() {
    const Colour shown = pnlColor.Color;
    for (const auto& item : copyAsItems) {
        const ColourForm& form = ColourForms[static_cast<std::size_t>(item->Tag.Get())];
        item->Caption = form.text(shown) + "\t" + form.label;
    }
}

} // namespace lupenta
