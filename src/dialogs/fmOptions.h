#pragma once

#include "dialogs/Dialog.h"

#include <cstdint>
#include <string>

namespace lupenta {

// A key combination in the form RegisterHotKey takes it.
struct THotKeyData {
    static constexpr std::uint32_t kAlt = 1;
    static constexpr std::uint32_t kCtrl = 2;
    static constexpr std::uint32_t kShift = 4;

    std::uint32_t Modifiers = 0;
    std::uint32_t Key = 0;

    friend bool operator==(const THotKeyData&, const THotKeyData&) = default;
};

// The options dialog. Its values are never applied; only the zoom slider and the shortcut
// field react to the user.
class TfrmOptions : public TDialog {
public:
    TfrmOptions();

    int GetZoomFromTrackBar() const;
    void TrackBarZoomChange();
    void edtShortcutKeyDown(int key, ui::TShiftState shift);

    ui::TPageControl PageControl1{"PageControl1", Rect::FromSize(4, 3, 358, 373)};
    ui::TTabSheet TabSheet1{"TabSheet1", "General"};
    ui::TTabSheet TabSheet2{"TabSheet2", "Displayed Items"};
    ui::TTabSheet tshDebug{"tshDebug", "Debug Data"};

    ui::TTextLabel Label1{"Label1", Rect::FromSize(11, 13, 0, 13), "Zoom Level"};
    ui::TTextLabel lblZoom{"lblZoom", Rect::FromSize(91, 13, 0, 13), "2x"};
    ui::TTrackBar TrackBarZoom{"TrackBarZoom", Rect::FromSize(120, 3, 182, 45), 0, 15};
    ui::TTextLabel lblResolution{"lblResolution", Rect::FromSize(111, 30, 0, 13), ""};
    ui::TTextLabel Label2{"Label2", Rect::FromSize(11, 53, 0, 13), "Refresh Rate"};
    ui::TComboBox ComboBox1{"ComboBox1",
                            Rect::FromSize(91, 49, 145, 21),
                            {" 5 x per second", "10 x per second", "15 x per second",
                             "30 x per second", "60 x per second", "", ""}};
    ui::TCheckBox chkStay{"chkStay", Rect::FromSize(11, 104, 200, 17), "Stay in System Tray"};
    ui::TCheckBox chkStartup{"chkStartup", Rect::FromSize(12, 127, 200, 17), "Run on Startup"};
    ui::TCheckBox chkShowPanel{"chkShowPanel", Rect::FromSize(12, 150, 200, 17), "Show Panel"};
    ui::TEdit edtShortcut{"edtShortcut", Rect::FromSize(53, 184, 121, 21), "edtShortcut"};
    ui::TCheckBox chkTop{"chkTop", Rect::FromSize(12, 228, 200, 17), "Always on Top"};
    ui::TCheckBox chkHide{"chkHide", Rect::FromSize(12, 270, 200, 17), "Hide Screen on Startup"};
    ui::TButton btnDebug{"btnDebug", Rect::FromSize(277, 311, 59, 25), "Debug"};

    ui::TEdit Memo1{"Memo1", Rect::FromSize(3, 3, 344, 310), ""};

    ui::TButton btnOK{"btnOK", Rect::FromSize(2, 382, 70, 25), "OK"};
    ui::TButton btnApply{"btnApply", Rect::FromSize(78, 382, 70, 25), "Apply"};
    ui::TButton btnCancel{"btnCancel", Rect::FromSize(285, 382, 71, 25), "Cancel"};

    THotKeyData FHotKey;
};

// The text of a key combination: "Ctrl+", "Shift+", "Alt+" in that order, then the character
// whose code is the key code, as UTF-8.
std::string ShortcutText(int key, ui::TShiftState shift);

} // namespace lupenta
