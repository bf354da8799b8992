// Reads the magnifier's windows from another process, as a screen reader does, for the
// end-to-end tests. One line per child window of the main window, in UTF-8, to the file named
// on the command line: class, visible (1 or 0), window text, and what the window's accessible
// object says of itself: name, role (a number) and value, each field after a tab.
// Usage: LupentaReader.exe output-file

#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const std::wstring& wide) {
    if (wide.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), text.data(), size,
                        nullptr, nullptr);
    return text;
}

std::wstring TextOf(HWND window) {
    wchar_t text[512] = L"";
    GetWindowTextW(window, text, 512);
    return text;
}

VARIANT Self() {
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return self;
}

template <class Get> std::string Ask(IAccessible* object, Get get) {
    BSTR text = nullptr;
    std::string out;
    if ((object->*get)(Self(), &text) == S_OK && text)
        out = Utf8(text);
    SysFreeString(text);
    return out;
}

BOOL CALLBACK WriteChild(HWND child, LPARAM out) {
    wchar_t name[128] = L"";
    GetClassNameW(child, name, 128);
    std::string accessibleName, value;
    long role = 0;
    IAccessible* object = nullptr;
    if (SUCCEEDED(AccessibleObjectFromWindow(child, static_cast<DWORD>(OBJID_CLIENT),
                                             IID_IAccessible, reinterpret_cast<void**>(&object)))) {
        accessibleName = Ask(object, &IAccessible::get_accName);
        value = Ask(object, &IAccessible::get_accValue);
        VARIANT answer;
        VariantInit(&answer);
        if (object->get_accRole(Self(), &answer) == S_OK && answer.vt == VT_I4)
            role = answer.lVal;
        object->Release();
    }
    std::fprintf(reinterpret_cast<FILE*>(out), "%s\t%d\t%s\t%s\t%ld\t%s\n", Utf8(name).c_str(),
                 IsWindowVisible(child) ? 1 : 0, Utf8(TextOf(child)).c_str(),
                 accessibleName.c_str(), role, value.c_str());
    return TRUE;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2)
        return 2;
    HWND main = FindWindowW(L"LupentaMain", nullptr);
    if (!main)
        return 1;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // Written beside its place and renamed into it, so a reader of the file never sees half.
    const std::wstring part = std::wstring(argv[1]) + L".part";
    FILE* out = _wfopen(part.c_str(), L"w");
    if (!out)
        return 3;
    EnumChildWindows(main, WriteChild, reinterpret_cast<LPARAM>(out));
    std::fclose(out);
    CoUninitialize();
    return MoveFileExW(part.c_str(), argv[1], MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}
