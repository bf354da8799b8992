#include "dialogs/fmOptions.h"

#include "main/ZoomFactors.h"

namespace lupenta {

namespace {

bool IsModifierKey(int key) {
    constexpr int kShift = 16, kCtrl = 17, kAlt = 18, kLeftWindows = 91, kRightWindows = 92;
    return key == kShift || key == kCtrl || key == kAlt || key == kLeftWindows ||
           key == kRightWindows;
}

// Key codes above 127 would be stray bytes on their own; as code points they stay readable
// text.
std::string CharacterOfCode(int code) {
    const auto c = static_cast<unsigned>(code) & 0xFFu;
    if (c < 0x80)
        return std::string(1, static_cast<char>(c));
    return {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
}

} // namespace

std::string ShortcutText(int key, ui::TShiftState shift) {
    std::string text;
    if (shift.ctrl)
        text += "Ctrl+";
    if (shift.shift)
        text += "Shift+";
    if (shift.alt)
        text += "Alt+";
    return text + CharacterOfCode(key);
}

TfrmOptions::TfrmOptions() : TDialog("Lupenta Options", 364, 415) {
    Font = ui::TFont{"Tahoma", 11, false};

    TabSheet1.Controls = {&Label1,    &lblZoom, &TrackBarZoom, &lblResolution, &Label2,
                          &ComboBox1, &chkStay, &chkStartup,   &chkShowPanel,  &edtShortcut,
                          &chkTop,    &chkHide, &btnDebug};
    tshDebug.Controls = {&Memo1};
    PageControl1.Pages = {&TabSheet1, &TabSheet2, &tshDebug};

    ComboBox1.ItemIndex = 3;
    Memo1.MultiLine = true;
    Memo1.ScrollBars = true;
    // The field shows the combination it captured, not the characters the keys would type.
    edtShortcut.OwnTextOnly = true;

    TrackBarZoom.OnChange = [this] { TrackBarZoomChange(); };
    edtShortcut.OnKeyDown = [this](int key, ui::TShiftState shift) {
        edtShortcutKeyDown(key, shift);
    };
    btnOK.OnClick = [this] { Close(mrOk); };
    btnCancel.OnClick = [this] { Close(mrCancel); };
    // The label stands for the slider from the start, not only after the first move.
    TrackBarZoomChange();

    Add(PageControl1);
    Add(btnOK, {.right = false, .bottom = true});
    Add(btnApply, {.right = false, .bottom = true});
    Add(btnCancel, {.right = false, .bottom = true});
}

int TfrmOptions::GetZoomFromTrackBar() const {
    return ZoomFactorAt(TrackBarZoom.Position);
}

void TfrmOptions::TrackBarZoomChange() {
    lblZoom.Caption = std::to_string(GetZoomFromTrackBar()) + "x";
}

void TfrmOptions::edtShortcutKeyDown(int key, ui::TShiftState shift) {
    FHotKey.Modifiers = 0;
    if (shift.ctrl)
        FHotKey.Modifiers += THotKeyData::kCtrl;
    if (shift.shift)
        FHotKey.Modifiers += THotKeyData::kShift;
    if (shift.alt)
        FHotKey.Modifiers += THotKeyData::kAlt;
    if (IsModifierKey(key))
        return;
    FHotKey.Key = static_cast<std::uint32_t>(key);
    edtShortcut.Text = ShortcutText(key, shift);
}

} // namespace lupenta
