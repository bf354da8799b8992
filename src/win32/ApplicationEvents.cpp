#include "win32/ApplicationEvents.h"

namespace lupenta::win32 {

namespace {

InstalledMessageHook* installed = nullptr;

} // namespace

InstalledMessageHook::InstalledMessageHook(MessageHook hook)
    : hook_(std::move(hook)), previous_(installed) {
    installed = this;
}

InstalledMessageHook::~InstalledMessageHook() {
    installed = previous_;
}

bool ApplicationEvents(const MSG& message) {
    return installed && installed->hook_ && installed->hook_(message);
}

} // namespace lupenta::win32
