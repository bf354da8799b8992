#pragma once

#include "dialogs/fmAbout.h"
#include "win32/DialogWindow.h"

#include <string>

namespace lupenta::win32 {

// The About dialog's window, built for one opening.
class AboutDialog {
public:
    AboutDialog(HWND owner, Desktop& desktop, FileSystem& files, const std::string& version,
                const std::string& exeFolder);
    TDialog::ModalResult ShowModal() { return window_.ShowModal(); }
    TfrmAbout& Model() { return model_; }
    HWND Handle() const { return window_.Handle(); }

private:
    DialogDesktop desktop_;
    TfrmAbout model_;
    DialogWindow window_;
};

// Shows the About dialog modally over `owner` and returns when it is closed. `exeFolder` holds
// the read-me file.
void ShowAboutDialog(HWND owner, Desktop& desktop, FileSystem& files, const std::string& version,
                     const std::string& exeFolder);
// The same with the machine's own file system.
void ShowAboutDialog(HWND owner, Desktop& desktop, const std::string& version,
                     const std::string& exeFolder);

} // namespace lupenta::win32
