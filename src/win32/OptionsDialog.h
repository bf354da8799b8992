#pragma once

#include "dialogs/fmOptions.h"
#include "win32/DialogWindow.h"

namespace lupenta::win32 {

// The options dialog's window, built for one opening; what is entered in it is not kept.
class OptionsDialog {
public:
    explicit OptionsDialog(HWND owner) : window_(model_, owner) {}
    TDialog::ModalResult ShowModal() { return window_.ShowModal(); }
    TfrmOptions& Model() { return model_; }
    HWND Handle() const { return window_.Handle(); }

private:
    TfrmOptions model_;
    DialogWindow window_;
};

// Shows the options dialog modally over `owner` and returns when it is closed.
void ShowOptionsDialog(HWND owner);

} // namespace lupenta::win32
