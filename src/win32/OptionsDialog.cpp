#include "win32/OptionsDialog.h"

namespace lupenta::win32 {

void ShowOptionsDialog(HWND owner) {
    OptionsDialog(owner).ShowModal();
}

} // namespace lupenta::win32
