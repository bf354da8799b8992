#pragma once

#include "platform/Geometry.h"

#include <windows.h>

namespace lupenta::win32 {

// A window procedure bound to an object: the object is passed in CreateWindowExW's last
// argument and kept in the window's user data.
class MessageHandler {
public:
    virtual ~MessageHandler() = default;
    virtual LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

// Registers (once) a window class whose procedure forwards to the MessageHandler.
void RegisterHandlerClass(const wchar_t* className, UINT classStyle, HBRUSH background);

// The button of a WM_xBUTTONDOWN message.
MouseButton ButtonOfMessage(UINT message);

HWND CreateHandlerWindow(MessageHandler& handler, const wchar_t* className, DWORD exStyle,
                         DWORD style, int x, int y, int width, int height, HWND parent);

} // namespace lupenta::win32
