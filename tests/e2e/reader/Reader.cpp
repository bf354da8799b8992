// Reads the magnifier's windows from another process, as assistive programs do, for the
// end-to-end tests: one line per child window of the main window, "class<TAB>visible<TAB>text"
// with visible 1 or 0, written in UTF-8 to the file named on the command line. Usage: LupentaReader.exe output-file

#include <windows.h>

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

BOOL CALLBACK WriteChild(HWND child, LPARAM out) {
    wchar_t name[128] = L"";
    GetClassNameW(child, name, 128);
    std::fprintf(reinterpret_cast<FILE*>(out), "%s\t%d\t%s\n", Utf8(name).c_str(),
                 IsWindowVisible(child) ? 1 : 0, Utf8(TextOf(child)).c_str());
    return TRUE;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2)
        return 2;
    HWND main = FindWindowW(L"LupentaMain", nullptr);
    if (!main)
        return 1;
    // Written beside its place and renamed into it, so a reader of the file never sees half.
    const std::wstring part = std::wstring(argv[1]) + L".part";
    FILE* out = _wfopen(part.c_str(), L"w");
    if (!out)
        return 3;
    EnumChildWindows(main, WriteChild, reinterpret_cast<LPARAM>(out));
    std::fclose(out);
    return MoveFileExW(part.c_str(), argv[1], MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}
