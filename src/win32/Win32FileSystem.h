#pragma once

#include "platform/FileSystem.h"

namespace lupenta::win32 {

// Files through the Win32 API, so that the read-only attribute, the program's own folder and a
// replace that survives a crash all mean what Windows means by them. Paths are UTF-8.
class Win32FileSystem : public FileSystem {
public:
    std::string ExecutableFolder() override;
    char PathSeparator() const override { return '\\'; }
    bool FileExists(const std::string& path) override;
    bool IsReadOnly(const std::string& path) override;
    std::optional<std::string> ReadFile(const std::string& path) override;
    bool CreateFolders(const std::string& folder) override;
    std::optional<std::string> LinkTarget(const std::string& path) override;
    std::optional<std::string> TemporaryFileBeside(const std::string& path) override;
    bool WriteFileThrough(const std::string& path, std::string_view bytes) override;
    bool MoveOver(const std::string& replacement, const std::string& target) override;
    bool RemoveFile(const std::string& path) override;
};

} // namespace lupenta::win32
