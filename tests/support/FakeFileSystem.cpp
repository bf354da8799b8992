#include "support/FakeFileSystem.h"

namespace lupenta::testing {

std::string FakeFileSystem::ExecutableFolder() {
    calls.push_back("ExecutableFolder");
    return executableFolder;
}

bool FakeFileSystem::FileExists(const std::string& path) {
    return files.count(path) > 0;
}

bool FakeFileSystem::IsReadOnly(const std::string& path) {
    return files.count(path) > 0 && readOnly.count(path) > 0;
}

std::optional<std::string> FakeFileSystem::ReadFile(const std::string& path) {
    calls.push_back("ReadFile " + path);
    const auto found = files.find(path);
    if (found == files.end() || unreadable.count(path))
        return std::nullopt;
    return found->second;
}

bool FakeFileSystem::CreateFolders(const std::string& folder) {
    calls.push_back("CreateFolders " + folder);
    if (failCreateFolders)
        return false;
    for (std::string f = folder; !f.empty(); f = FolderOf(f))
        folders.insert(f);
    return true;
}

std::optional<std::string> FakeFileSystem::LinkTarget(const std::string& path) {
    const auto link = links.find(path);
    return link == links.end() ? path : link->second;
}

std::optional<std::string> FakeFileSystem::TemporaryFileBeside(const std::string& path) {
    if (failTemporaryName)
        return std::nullopt;
    std::string name;
    do
        name = FolderOf(path) + "\\lup" + std::to_string(nextTemporary_++) + ".tmp";
    while (files.count(name));
    files[name];
    return name;
}

bool FakeFileSystem::WriteFileThrough(const std::string& path, std::string_view bytes) {
    calls.push_back("WriteFileThrough " + path);
    if (!folders.count(FolderOf(path)) || readOnly.count(path))
        return false;
    if (failWriteAfter && *failWriteAfter < bytes.size()) {
        files[path] = std::string(bytes.substr(0, *failWriteAfter));
        return false;
    }
    files[path] = std::string(bytes);
    return true;
}

bool FakeFileSystem::MoveOver(const std::string& replacement, const std::string& target) {
    calls.push_back("MoveOver " + replacement + " " + target);
    const auto found = files.find(replacement);
    if (failMoveOver || found == files.end() || readOnly.count(target))
        return false;
    files[target] = std::move(found->second);
    files.erase(replacement);
    return true;
}

bool FakeFileSystem::RemoveFile(const std::string& path) {
    calls.push_back("RemoveFile " + path);
    return files.erase(path) > 0;
}

std::vector<std::string> FakeFileSystem::FilesIn(const std::string& folder) const {
    std::vector<std::string> names;
    for (const auto& [path, content] : files)
        if (FolderOf(path) == folder)
            names.push_back(NameOf(path));
    return names;
}

} // namespace lupenta::testing
