#pragma once

// What our own windows tell screen readers: each answers WM_GETOBJECT with the system's
// standard object for its client area, wrapped so that the name, role, value and state come
// from the model, and raises the events that keep a reader up to date.

#include <optional>
#include <string>

#include <windows.h>

namespace lupenta::win32 {

class AccessibleObject;

// What a window is, as a screen reader is told it at the moment it asks.
struct AccessibleFacts {
    std::wstring name;
    long role = 0;
    // A readout's text; none for windows that have no value.
    std::optional<std::wstring> value;
    // Added to the states the system works out itself (visible, focusable and so on).
    long state = 0;
    // The verb of the default action ("Press"); empty for windows without one.
    std::wstring action;

    friend bool operator==(const AccessibleFacts&, const AccessibleFacts&) = default;
};

class AccessibleSource {
public:
    virtual ~AccessibleSource() = default;
    virtual AccessibleFacts Facts() = 0;
};

// Posted to a window whose default action a screen reader asked for: the action runs from
// the window's own message loop, never inside the reader's call, since it may open a menu.
constexpr UINT kDoDefaultAction = WM_APP + 0x40;

// Lives as long as its window; the object it hands out may outlive both, and then answers
// that it is disconnected.
class AccessibleWindow {
public:
    AccessibleWindow(HWND window, AccessibleSource& source);
    ~AccessibleWindow();
    AccessibleWindow(const AccessibleWindow&) = delete;
    AccessibleWindow& operator=(const AccessibleWindow&) = delete;

    // The answer to WM_GETOBJECT: the object for the client area, or 0 for anything else.
    LRESULT GetObject(WPARAM wParam, LPARAM lParam);
    // Tells listening readers what changed since the last call.
    void Changed();
    // Has readers say the window's name now, wherever their attention is: the window is a
    // polite live region, and its name is what was announced.
    void Announce();

private:
    HWND window_;
    AccessibleSource& source_;
    AccessibleObject* object_ = nullptr;
    AccessibleFacts told_;
    bool live_ = false;
};

} // namespace lupenta::win32
