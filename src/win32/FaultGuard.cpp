#include "win32/FaultGuard.h"

#include "win32/Win32Desktop.h"

namespace lupenta::win32 {

namespace {

// The program has one window thread; dialogs and message boxes run on it too.
ui::FaultBarrier* installed = nullptr;

ui::FaultBarrier& UnownedBarrier() {
    static Win32Desktop desktop;
    static ui::FaultBarrier barrier(desktop);
    return barrier;
}

} // namespace

InstalledFaultBarrier::InstalledFaultBarrier(ui::FaultBarrier& barrier) : previous_(installed) {
    installed = &barrier;
}

InstalledFaultBarrier::~InstalledFaultBarrier() {
    installed = previous_;
}

ui::FaultBarrier& CurrentFaultBarrier() {
    return installed ? *installed : UnownedBarrier();
}

} // namespace lupenta::win32
