#include "win32/Win32FileSystem.h"

#include "win32/ProgramArguments.h"
#include "win32/Text.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <random>

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

// The final path carries the long-path prefix, which no path the program builds has.
std::wstring WithoutLongPathPrefix(const std::wstring& path) {
    const std::wstring unc = L"\\\\?\\UNC\\";
    const std::wstring local = L"\\\\?\\";
    if (path.rfind(unc, 0) == 0)
        return L"\\\\" + path.substr(unc.size());
    if (path.rfind(local, 0) == 0)
        return path.substr(local.size());
    return path;
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

std::optional<std::string> Win32FileSystem::LinkTarget(const std::string& path) {
    const std::wstring wide = Widen(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return path;
    UniqueFile file(CreateFileW(wide.c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    // A link whose target is gone cannot be followed; anything else that will not open is
    // written where it is, and the write will say whether that works.
    if (!file.Valid())
        return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) ? std::nullopt
                                                           : std::optional<std::string>(path);
    const DWORD flags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
    const DWORD length = GetFinalPathNameByHandleW(file.Get(), nullptr, 0, flags);
    if (length == 0)
        return std::nullopt;
    std::wstring final(length, L'\0');
    const DWORD written = GetFinalPathNameByHandleW(file.Get(), final.data(), length, flags);
    if (written == 0 || written >= length)
        return std::nullopt;
    final.resize(written);
    return Narrow(WithoutLongPathPrefix(final));
}

std::optional<std::string> Win32FileSystem::TemporaryFileBeside(const std::string& path) {
    static std::mt19937 random{std::random_device{}() ^ GetTickCount() ^ GetCurrentProcessId()};
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string candidate = TemporaryNameBeside(path, random());
        // CREATE_NEW fails on an existing name, so nothing of anyone else's is truncated.
        UniqueFile file(CreateFileW(Widen(candidate).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.Valid())
            return candidate;
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            return std::nullopt;
    }
    return std::nullopt;
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
