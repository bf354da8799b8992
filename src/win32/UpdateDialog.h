#pragma once

#include "update/fmCheckUpdate.h"
#include "win32/DialogWindow.h"

namespace lupenta::win32 {

// The update dialog's window, filled from one check's outcome.
class UpdateDialog {
public:
    UpdateDialog(HWND owner, Desktop& desktop, const UpdateOutcome& outcome);
    TDialog::ModalResult ShowModal() { return window_.ShowModal(); }
    TfrmCheckUpdate& Model() { return model_; }
    HWND Handle() const { return window_.Handle(); }

private:
    DialogDesktop desktop_;
    TfrmCheckUpdate model_;
    DialogWindow window_;
};

// Shows the outcome of a version check modally over `owner` and returns when it is closed.
void ShowUpdateDialog(HWND owner, Desktop& desktop, const UpdateOutcome& outcome);

} // namespace lupenta::win32
