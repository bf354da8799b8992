#pragma once

#include "ui/FaultBarrier.h"

#include <windows.h>

#include <exception>

namespace lupenta::win32 {

// The system calls window procedures with nothing of ours but the window, so the barrier they
// run behind is installed here, once, by whoever runs the window thread, for as long as this
// object lives. Without one, faults go to the standard error box with no owner.
class InstalledFaultBarrier {
public:
    explicit InstalledFaultBarrier(ui::FaultBarrier& barrier);
    ~InstalledFaultBarrier();
    InstalledFaultBarrier(const InstalledFaultBarrier&) = delete;
    InstalledFaultBarrier& operator=(const InstalledFaultBarrier&) = delete;

private:
    ui::FaultBarrier* previous_;
};

ui::FaultBarrier& CurrentFaultBarrier();

// Handles one message behind the barrier; a message whose handler failed returns 0.
template <class Handler>
LRESULT GuardedMessage(HWND window, UINT message, Handler&& handler) noexcept {
    LRESULT result = 0;
    const ui::EventKind kind = message == WM_PAINT ? ui::EventKind::Paint : ui::EventKind::Other;
    if (CurrentFaultBarrier().Run(kind, [&] { result = handler(); }))
        return result;
    // A paint that failed before it began would be asked for again at once, for ever.
    if (message == WM_PAINT)
        ValidateRect(window, nullptr);
    return 0;
}

// Carries an exception out of a callback that the system calls (an enumeration, say) to the
// code that made the system call, so that it never unwinds through the system's own frames.
class CallbackFault {
public:
    // Runs the callback's work; FALSE, which stops the enumeration, when it failed.
    template <class Work> BOOL Run(Work&& work) noexcept {
        try {
            return work();
        } catch (...) {
            fault_ = std::current_exception();
            return FALSE;
        }
    }
    // Once the system call has returned: throws what the callback threw, if anything.
    void Rethrow() const {
        if (fault_)
            std::rethrow_exception(fault_);
    }

private:
    std::exception_ptr fault_;
};

} // namespace lupenta::win32
