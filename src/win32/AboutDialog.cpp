#include "win32/AboutDialog.h"

#include "win32/Win32FileSystem.h"

namespace lupenta::win32 {

namespace {

TfrmAbout& WithVersion(TfrmAbout& model, const std::string& version) {
    model.SetVersion(version);
    return model;
}

} // namespace

AboutDialog::AboutDialog(HWND owner, Desktop& desktop, FileSystem& files,
                         const std::string& version, const std::string& exeFolder)
    : desktop_(desktop), model_(desktop_, files, exeFolder),
      window_(WithVersion(model_, version), owner) {
    desktop_.SetDialog(window_.Handle());
}

void ShowAboutDialog(HWND owner, Desktop& desktop, FileSystem& files, const std::string& version,
                     const std::string& exeFolder) {
    AboutDialog(owner, desktop, files, version, exeFolder).ShowModal();
}

void ShowAboutDialog(HWND owner, Desktop& desktop, const std::string& version,
                     const std::string& exeFolder) {
    Win32FileSystem files;
    ShowAboutDialog(owner, desktop, files, version, exeFolder);
}

} // namespace lupenta::win32
