#include "app/Program.h"
#include "win32/FaultGuard.h"
#include "win32/Handles.h"
#include "win32/MainWindow.h"
#include "win32/ProgramArguments.h"
#include "win32/TaskBarWindow.h"
#include "win32/TraceFile.h"
#include "win32/TrayWindow.h"
#include "win32/Win32Desktop.h"
#include "win32/Win32FileSystem.h"
#include "win32/Win32FormWindow.h"
#include "win32/Win32Services.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace lupenta;
    // Outlives every window, so the objects handed to screen readers are released within it.
    const win32::ComApartment com;
    // A marker other programs can look for while any instance runs; it is never tested here,
    // and the process's end releases it.
    CreateMutexW(nullptr, FALSE, L"Lupenta");
    win32::Win32Desktop desktop;
    ui::FaultBarrier barrier(desktop);
    win32::InstalledFaultBarrier installedBarrier(barrier);
    win32::Win32FileSystem files;
    win32::Win32FormWindow formWindow;
    win32::Win32Services services(desktop, files.ExecutableFolder());
    const std::vector<std::string> arguments = win32::ProgramArguments();
    Program program(desktop, files, formWindow);
    program.form.SetServices(&services);
    program.Create(arguments, services.LogonRunKey());
    const auto trace = win32::RequestedTrace::FromEnvironment(files.ExecutableFolder());
    if (trace)
        program.form.SetTrace(&trace->Trace());
    win32::TaskBarWindow application;
    win32::MainWindow window(program.form, application.Hwnd());
    application.SetMainWindow(window.Hwnd());
    // Without its main window the program has nothing to show and no way to be closed.
    if (!window.Hwnd())
        return 1;
    formWindow.SetWindow(window.Hwnd());
    services.SetOwner(window.Hwnd());
    desktop.SetOwnerWindow(window.Hwnd());
    window.OnShow = [&] { program.Show(); };
    window.OnCloseQuery = [&] { return program.CloseQuery(); };
    window.OnDestroy = [&] { program.Destroy(); };
    window.OnEndSession = [&] { program.EndSession(); };
    window.OnDisplayChange = [&] { desktop.DisplayChanged(); };
    win32::TrayWindow tray(window.Hwnd(), desktop);
    program.AttachTray(tray.Icon());
    services.SetTray(&tray.Icon());
    const StartupRequests requests = ParseStartupSwitches(arguments);
    window.Show(!requests.startHidden);
    program.ApplyStartupSwitches(requests);
    return win32::RunMessageLoop(window);
}
