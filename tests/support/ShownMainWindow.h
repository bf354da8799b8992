#pragma once

#include "main/WindowStyles.h"
#include "main/fmMagnifier.h"

namespace lupenta::testing {

// The main window as it first appears without a window system: created, shown and visible,
// borderless, its view 468 x 253 above the panel.
inline void ShowMainWindow(Tfrmmain& form) {
    form.FormCreate();
    form.SetStyle(MainWindowCreationStyle());
    form.SetBoundsRect(Rect::FromSize(100, 100, 470, 284));
    form.ClientResized(468, 282);
    form.FormShow();
    form.SetVisible(true);
}

} // namespace lupenta::testing
