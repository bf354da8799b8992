#pragma once

#include <windows.h>

namespace lupenta::win32 {

// Dispatches every message waiting in this thread's queue, as the program's loop would.
inline void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Dispatches for `rounds` turns of 20 ms, for what the window system posts late: the moves
// and activations that follow a show or hide, and timers.
inline void PumpFor(int rounds) {
    for (int i = 0; i < rounds; ++i) {
        Pump();
        Sleep(20);
    }
}

} // namespace lupenta::win32
