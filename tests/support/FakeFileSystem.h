#pragma once

#include "platform/FileSystem.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace lupenta::testing {

// Files in memory, laid out as on Windows, with a switch for each way a write can fail.
class FakeFileSystem : public FileSystem {
public:
    std::string executableFolder = "C:\\Program Files\\Lupenta";
    std::map<std::string, std::string> files;
    std::set<std::string> folders{"C:\\Program Files\\Lupenta"};
    std::set<std::string> readOnly;
    // Files that exist but cannot be opened, as when another program holds them locked.
    std::set<std::string> unreadable;
    // Symbolic links and where they point; a link that cannot be followed points nowhere.
    std::map<std::string, std::optional<std::string>> links;

    bool failTemporaryName = false;
    bool failCreateFolders = false;
    // A write stops after this many bytes and fails, as on a full disk.
    std::optional<std::size_t> failWriteAfter;
    bool failMoveOver = false;

    std::vector<std::string> calls;

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

    // Names of the files in `folder`, in order.
    std::vector<std::string> FilesIn(const std::string& folder) const;

private:
    int nextTemporary_ = 1;
};

} // namespace lupenta::testing
