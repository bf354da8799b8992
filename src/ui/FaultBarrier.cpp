#include "ui/FaultBarrier.h"

#include "ui/Application.h"

#include <new>

namespace lupenta::ui {

namespace {

constexpr const char* kOutOfMemory = "Out of memory";
constexpr const char* kUnknownFault = "An unexpected error stopped the last action";

std::optional<std::string> Describe(std::exception_ptr fault, EventKind kind) {
    try {
        std::rethrow_exception(fault);
    } catch (const std::bad_alloc&) {
        if (kind == EventKind::Paint)
            return std::nullopt;
        return kOutOfMemory;
    } catch (const std::exception& error) {
        return std::string(error.what());
    } catch (...) {
        return kUnknownFault;
    }
}

} // namespace

std::optional<std::string> FaultMessage(std::exception_ptr fault, EventKind kind) noexcept {
    if (!fault)
        return std::nullopt;
    try {
        return Describe(fault, kind);
    } catch (...) {
        // Not even the text could be copied: memory is short, and a box would not show either.
        return std::nullopt;
    }
}

void FaultBarrier::Handle(std::exception_ptr fault, EventKind kind) noexcept {
    const std::optional<std::string> text = FaultMessage(fault, kind);
    if (!text || boxOpen_)
        return;
    boxOpen_ = true;
    try {
        Application.ShowMessage(desktop_, *text, MessageIcon::Error, false);
    } catch (...) {
    }
    boxOpen_ = false;
}

} // namespace lupenta::ui
