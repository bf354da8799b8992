#include "win32/ProgramArguments.h"

#include "win32/Text.h"

#include <windows.h>

#include <shellapi.h>

namespace lupenta::win32 {

std::vector<std::string> ProgramArguments() {
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!words)
        return {};
    std::vector<std::string> arguments;
    arguments.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        arguments.push_back(Narrow(words[i]));
    LocalFree(words);
    return arguments;
}

std::string ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        // A path that fills the buffer may have been cut short.
        if (length < path.size()) {
            path.resize(length);
            return Narrow(path);
        }
        path.resize(path.size() * 2);
    }
}

} // namespace lupenta::win32
