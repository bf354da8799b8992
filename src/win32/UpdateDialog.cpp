#include "win32/UpdateDialog.h"

namespace lupenta::win32 {

namespace {

// The window is built from the filled model: the outcome decides its height.
TfrmCheckUpdate& Filled(TfrmCheckUpdate& model, const UpdateOutcome& outcome) {
    model.Fill(outcome);
    return model;
}

} // namespace

UpdateDialog::UpdateDialog(HWND owner, Desktop& desktop, const UpdateOutcome& outcome)
    : desktop_(desktop), model_(desktop_), window_(Filled(model_, outcome), owner) {
    desktop_.SetDialog(window_.Handle());
}

void ShowUpdateDialog(HWND owner, Desktop& desktop, const UpdateOutcome& outcome) {
    UpdateDialog(owner, desktop, outcome).ShowModal();
}

} // namespace lupenta::win32
