#include "win32/Win32Services.h"

#include "app/RunAtLogon.h"
#include "win32/AboutDialog.h"
#include "win32/OptionsDialog.h"
#include "win32/ProgramArguments.h"
#include "win32/UpdateDialog.h"

#include <string>
#include <vector>

namespace lupenta::win32 {

namespace {

constexpr UINT_PTR kDeadlineTimer = 1;

} // namespace

Win32Services::Win32Services(Desktop& desktop, std::string executableFolder)
    : desktop_(desktop), executableFolder_(std::move(executableFolder)),
      deadline_(check_.tmrDeadline, fetcher_.Hwnd(), kDeadlineTimer) {
    fetcher_.OnTimer = [this] { check_.tmrDeadline.Fire(); };
}

void Win32Services::HideApplication() {
    if (tray_)
        tray_->HideApplication();
}

void Win32Services::ShowApplication() {
    if (tray_)
        tray_->ShowApplication();
}

void Win32Services::ToggleRunOnStartup(ui::TMenuItem& item) {
    RunonStartup1Click(runKey_, item, ExecutablePath(), desktop_);
}

void Win32Services::CheckForUpdates(Tfrmmain& form) {
    check_.Start(form);
}

void Win32Services::ShowUpdateDialog(const UpdateOutcome& outcome) {
    win32::ShowUpdateDialog(owner_, desktop_, outcome);
}

void Win32Services::ShowAbout(const std::string& version) {
    ShowAboutDialog(owner_, desktop_, version, executableFolder_);
}

void Win32Services::ShowOptions() {
    ShowOptionsDialog(owner_);
}

std::string Win32Services::Version() {
    return ExecutableVersion();
}

std::string ExecutableVersion() {
    wchar_t path[MAX_PATH];
    if (!GetModuleFileNameW(nullptr, path, MAX_PATH))
        return {};
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0)
        return {};
    std::vector<unsigned char> data(size);
    if (!GetFileVersionInfoW(path, 0, size, data.data()))
        return {};
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info)
        return {};
    return std::to_string(HIWORD(info->dwFileVersionMS)) + "." +
           std::to_string(LOWORD(info->dwFileVersionMS));
}

} // namespace lupenta::win32
