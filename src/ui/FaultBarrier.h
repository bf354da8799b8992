#pragma once

#include "platform/Desktop.h"

#include <exception>
#include <optional>
#include <string>

namespace lupenta::ui {

// What the event was doing when it failed: a paint is redone at the next tick anyway.
enum class EventKind { Paint, Other };

// The text of the error box for an exception that ended an event, or nothing when the event
// is dropped without a word: a paint that ran out of memory simply shows the last frame.
std::optional<std::string> FaultMessage(std::exception_ptr fault, EventKind kind) noexcept;

// The end of the road for an exception inside a window event: the event is abandoned, the user
// sees the standard error box, and the program goes on.
class FaultBarrier {
public:
    explicit FaultBarrier(Desktop& desktop) : desktop_(desktop) {}
    FaultBarrier(const FaultBarrier&) = delete;
    FaultBarrier& operator=(const FaultBarrier&) = delete;

    // Runs `handler`; false when it ended in an exception, which has been dealt with.
    template <class Handler> bool Run(EventKind kind, Handler&& handler) noexcept {
        try {
            handler();
            return true;
        } catch (...) {
            Handle(std::current_exception(), kind);
            return false;
        }
    }

    void Handle(std::exception_ptr fault, EventKind kind) noexcept;

private:
    Desktop& desktop_;
    // The box is modal and the timer keeps firing under it: one failing tick must not stack a
    // new box every few milliseconds.
    bool boxOpen_ = false;
};

} // namespace lupenta::ui
