// Counts the GDI objects and the windows of a running program from outside it:
//   LupentaProbe.exe Lupenta.exe   prints "gdi=N windows=N" for the first process of that name.
//
// Windows reports another process's GDI objects through GetGuiResources; Wine answers 0 there,
// but keeps, as Windows once did, each process's GDI handle table in the process's own memory
// and names it in the process environment block, so the probe reads the table and counts its
// live entries. Before trusting that reading it checks it on itself against GetObjectType.
#include <windows.h>

#include <tlhelp32.h>
#include <winternl.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <optional>
#include <vector>

namespace {

// The table's layout is the one Windows gives it: 16-bit indexes, 24-byte entries whose
// type byte is zero while the entry is free.
constexpr std::size_t kHandleCount = 0x10000;
struct HandleEntry {
    std::uint64_t object;
    std::uint32_t owner;
    std::uint16_t unique;
    std::uint8_t type;
    std::uint8_t flags;
    std::uint64_t userPointer;
};
static_assert(sizeof(HandleEntry) == 24);
// Where the environment block of a 64-bit process holds the table's address.
constexpr std::size_t kTableAddressOffset = 0xF8;

std::optional<DWORD> ProcessIdOf(const wchar_t* name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return std::nullopt;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    std::optional<DWORD> found;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found;
         more = Process32NextW(snapshot, &entry))
        if (_wcsicmp(entry.szExeFile, name) == 0)
            found = entry.th32ProcessID;
    CloseHandle(snapshot);
    return found;
}

std::optional<int> GdiObjectsFromTable(HANDLE process) {
    PROCESS_BASIC_INFORMATION basic{};
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof(basic),
                                  nullptr) != 0)
        return std::nullopt;
    std::uint64_t table = 0;
    const auto* where = reinterpret_cast<const char*>(basic.PebBaseAddress) + kTableAddressOffset;
    if (!ReadProcessMemory(process, where, &table, sizeof(table), nullptr) || table == 0)
        return std::nullopt;
    std::vector<HandleEntry> entries(kHandleCount);
    if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(),
                           entries.size() * sizeof(HandleEntry), nullptr))
        return std::nullopt;
    int count = 0;
    for (const HandleEntry& entry : entries)
        if (entry.type != 0)
            ++count;
    return count;
}

int GdiObjectsByType() {
    int count = 0;
    for (std::uintptr_t index = 1; index < kHandleCount; ++index)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0)
            ++count;
    return count;
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

struct WindowCount {
    DWORD process;
    int count = 0;
};

BOOL CALLBACK CountTopLevel(HWND window, LPARAM data) {
    auto* windows = reinterpret_cast<WindowCount*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != windows->process)
        return TRUE;
    ++windows->count;
    EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&windows->count));
    return TRUE;
}

BOOL CALLBACK CountOnDesktop(LPWSTR name, LPARAM data) {
    HDESK desktop = OpenDesktopW(name, 0, FALSE, DESKTOP_ENUMERATE | DESKTOP_READOBJECTS);
    if (!desktop)
        return TRUE;
    EnumDesktopWindows(desktop, CountTopLevel, data);
    CloseDesktop(desktop);
    return TRUE;
}

// The program may run on a desktop of its own (a Wine virtual desktop), so every desktop of
// the window station is searched.
int WindowsOf(DWORD process) {
    WindowCount windows{process};
    EnumDesktopsW(GetProcessWindowStation(), CountOnDesktop, reinterpret_cast<LPARAM>(&windows));
    return windows.count;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fputs("usage: LupentaProbe.exe PROGRAM.exe\n", stderr);
        return 2;
    }
    const std::optional<int> own = GdiObjectsFromTable(GetCurrentProcess());
    if (!own || *own != GdiObjectsByType()) {
        std::fputs("the GDI handle table cannot be read here\n", stderr);
        return 1;
    }
    const std::optional<DWORD> id = ProcessIdOf(argv[1]);
    if (!id) {
        std::fputs("no such process\n", stderr);
        return 1;
    }
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, *id);
    if (!process) {
        std::fputs("the process cannot be opened\n", stderr);
        return 1;
    }
    DWORD reported = GetGuiResources(process, GR_GDIOBJECTS);
    const std::optional<int> gdi =
        reported ? std::optional<int>(static_cast<int>(reported)) : GdiObjectsFromTable(process);
    CloseHandle(process);
    if (!gdi) {
        std::fputs("the process's GDI handle table cannot be read\n", stderr);
        return 1;
    }
    std::printf("gdi=%d windows=%d\n", *gdi, WindowsOf(*id));
    return 0;
}
