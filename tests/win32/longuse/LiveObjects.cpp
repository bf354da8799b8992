#include "LiveObjects.h"

#include <windows.h>

#include <cstdint>

namespace lupenta::win32 {

namespace {

// Handle values carry a table index in their low word; an index alone (high word zero) names
// whichever object holds that entry now, so a scan over the indexes finds every live one.
// Windows' own count is used where it exists: Wine answers 0 to GetGuiResources.
constexpr std::uintptr_t kHandleIndexes = 0x10000;

int CountGdiObjects() {
    if (const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS))
        return static_cast<int>(reported);
    int count = 0;
    for (std::uintptr_t index = 1; index < kHandleIndexes; ++index)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0)
            ++count;
    return count;
}

int CountMenus() {
    int count = 0;
    for (std::uintptr_t index = 1; index < kHandleIndexes; ++index)
        if (IsMenu(reinterpret_cast<HMENU>(index)))
            ++count;
    return count;
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

BOOL CALLBACK CountOwnTopLevel(HWND window, LPARAM count) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId())
        return TRUE;
    ++*reinterpret_cast<int*>(count);
    EnumChildWindows(window, CountChild, count);
    return TRUE;
}

int CountWindows() {
    int count = 0;
    EnumWindows(CountOwnTopLevel, reinterpret_cast<LPARAM>(&count));
    return count;
}

} // namespace

LiveObjects CountLiveObjects() {
    return {CountGdiObjects(), CountWindows(), CountMenus()};
}

std::ostream& operator<<(std::ostream& out, const LiveObjects& objects) {
    return out << objects.gdiObjects << " GDI objects, " << objects.windows << " windows, "
               << objects.menus << " menus";
}

} // namespace lupenta::win32
