#include "win32/TimerPeer.h"

namespace lupenta::win32 {

TimerPeer::TimerPeer(ui::TTimer& timer, HWND window, UINT_PTR id)
    : timer_(timer), window_(window), id_(id) {
    timer_.AttachPeer(this);
}

TimerPeer::~TimerPeer() {
    timer_.AttachPeer(nullptr);
    KillTimer(window_, id_);
}

void TimerPeer::ComponentChanged(ui::Changes) {
    KillTimer(window_, id_);
    if (timer_.Enabled)
        SetTimer(window_, id_, static_cast<UINT>(timer_.Interval.Get()), nullptr);
}

} // namespace lupenta::win32
