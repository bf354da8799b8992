#pragma once

#include <functional>

#include <windows.h>

namespace lupenta::win32 {

// The application's message hook: every message loop of the program, the main one and each
// modal dialog's, hands it each message taken from the queue before anything else sees it.
// True from the hook means the message is handled and is not dispatched.
using MessageHook = std::function<bool(const MSG&)>;

// Installs a hook for as long as it lives; the one it replaced comes back after it.
class InstalledMessageHook {
public:
    explicit InstalledMessageHook(MessageHook hook);
    ~InstalledMessageHook();
    InstalledMessageHook(const InstalledMessageHook&) = delete;
    InstalledMessageHook& operator=(const InstalledMessageHook&) = delete;

private:
    friend bool ApplicationEvents(const MSG& message);
    MessageHook hook_;
    InstalledMessageHook* previous_;
};

// Runs the installed hook on a message; false when there is none or it left the message.
bool ApplicationEvents(const MSG& message);

} // namespace lupenta::win32
