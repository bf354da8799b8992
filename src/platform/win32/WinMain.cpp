#include "main/fmMagnifier.h"
#include "platform/win32/MainWindow.h"
#include "platform/win32/Win32Desktop.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    lupenta::win32::Win32Desktop desktop;
    lupenta::Tfrmmain form(desktop);
    form.FormCreate();
    lupenta::win32::MainWindow window(form);
    desktop.SetOwnerWindow(window.Hwnd());
    window.Show();
    return lupenta::win32::RunMessageLoop(window);
}
