#pragma once

#include "ui/Timer.h"

#include <windows.h>

namespace lupenta::win32 {

// Runs a TTimer as a window-message timer of `window`; the window forwards WM_TIMER with
// this peer's id to Fire().
class TimerPeer final : public ui::ComponentPeer {
public:
    TimerPeer(ui::TTimer& timer, HWND window, UINT_PTR id);
    ~TimerPeer() override;
    TimerPeer(const TimerPeer&) = delete;
    TimerPeer& operator=(const TimerPeer&) = delete;

    UINT_PTR Id() const { return id_; }
    void ComponentChanged(ui::Changes what) override;

private:
    ui::TTimer& timer_;
    HWND window_;
    UINT_PTR id_;
};

} // namespace lupenta::win32
