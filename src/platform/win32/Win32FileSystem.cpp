#include "platform/win32/Win32FileSystem.h"

#include "platform/win32/ProgramArguments.h"
#include "platform/win32/Text.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>

namespace lupenta::win32 {

namespace {

class UniqueFile {
public:
    explicit UniqueFile(HANDLE handle) : handle_(handle) {}
    ~UniqueFile() {
        if (Valid())
            CloseHandle(handle_);
    }
    UniqueFile(const UniqueFile&) = delete;
    UniqueFile& operator=(const UniqueFile&) = delete;

    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE Get() const { return handle_; }
    // Closing can fail too (the last buffered bytes are written then), so the writer asks.
    bool Close() {
        const bool ok = Valid() && CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE handle_;
};

DWORD Attributes(const std::string& path) {
    return GetFileAttributesW(Widen(path).c_str());
}

} // namespace

std::string Win32FileSystem::ExecutableFolder() {
    const std::string path = ExecutablePath();
    return path.empty() ? std::string() : FolderOf(path);
}

bool Win32FileSystem::FileExists(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::IsReadOnly(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

std::optional<std::string> Win32FileSystem::ReadFile(const std::string& path) {
    UniqueFile file(CreateFileW(Widen(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
        return std::nullopt;
    std::string content;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.Get(), &size) && size.QuadPart > 0)
        content.reserve(static_cast<std::size_t>(size.QuadPart));
    char buffer[65536];
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr))
            return std::nullopt;
        if (read == 0)
            return content;
        content.append(buffer, read);
    }
}

bool Win32FileSystem::CreateFolders(const std::string& folder) {
    if (folder.empty())
        return true;
    const DWORD attributes = Attributes(folder);
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const std::string parent = FolderOf(folder);
    if (!parent.empty() && parent != folder && !CreateFolders(parent))
        return false;
    return CreateDirectoryW(Widen(folder).c_str(), nullptr) ||
           GetLastError() == ERROR_ALREADY_EXISTS;
}

std::optional<std::string> Win32FileSystem::TemporaryFileBeside(const std::string& path) {
    std::string folder = FolderOf(path);
    if (folder.empty())
        folder = ".";
    wchar_t name[MAX_PATH];
    // The name is reserved by creating the empty file, so two copies of the program that end
    // at the same moment never write into one temporary file.
    if (GetTempFileNameW(Widen(folder).c_str(), L"lup", 0, name) != 0)
        return Narrow(std::wstring(name));
    // A folder too deep for that call still gets a name of its own beside the file.
    return path + ".tmp";
}

bool Win32FileSystem::WriteFileThrough(const std::string& path, std::string_view bytes) {
    UniqueFile file(CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
        return false;
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file.Get(), bytes.data(), chunk, &written, nullptr) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return FlushFileBuffers(file.Get()) && file.Close();
}

bool Win32FileSystem::MoveOver(const std::string& replacement, const std::string& target) {
    // A rename over the old file is one step on the disk. The dedicated replace call is not
    // used: when the old file is held open it can fail half-way and leave a stray file of its
    // own beside the settings.
    return MoveFileExW(Widen(replacement).c_str(), Widen(target).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool Win32FileSystem::RemoveFile(const std::string& path) {
    return DeleteFileW(Widen(path).c_str()) != 0;
}

} // namespace lupenta::win32
