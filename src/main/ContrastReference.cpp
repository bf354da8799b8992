#include "main/Contrast.h"
#include "main/Readout.h"
#include "main/fmMagnifier.h"

namespace lupenta {

// The reference is the colour the hot pixel had at the last paint, the one the readout is
// about to show; setting it again replaces it.
void Tfrmmain::SetContrastReference1Click() {
    const Colour reference = imageview1->ScreenColor();
    contrastref = reference;
    pnlReference.Color = reference;
    pnlReference.FontColor = ContrastingTextColour(reference);
    for (ui::TMenuItem* clear : {&ClearContrastReference1, &mnuClearContrastReference})
        clear->Enabled = true;
    RefreshContrast(pnlColor.Color);
    AlignControls();
    Announce("Contrast reference " + pnlReference.Caption.Get());
}

void Tfrmmain::ClearContrastReference1Click() {
    contrastref.reset();
    for (ui::TMenuItem* clear : {&ClearContrastReference1, &mnuClearContrastReference})
        clear->Enabled = false;
    AlignControls();
    Announce("Contrast reference cleared");
}

bool Tfrmmain::RefreshContrast(Colour colour) {
    if (!contrastref)
        return false;
    pnlReference.Caption = ColourText(*contrastref, HTMLCode1.Checked);
    const double ratio = ContrastRatio(*contrastref, colour);
    lblContrast.Caption = ContrastText(ratio);
    const ContrastGrade before = contrastgrade;
    contrastgrade = GradeOf(ratio);
    return contrastgrade != before;
}

} // namespace lupenta
