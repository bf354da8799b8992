#pragma once

// The few file operations the settings store needs. Paths are UTF-8 text in the platform's own
// form. Every operation reports failure as a value and never throws.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace lupenta {

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The folder that holds the running program, without a trailing separator.
    virtual std::string ExecutableFolder() = 0;
    // The separator the platform puts between a folder and a name.
    virtual char PathSeparator() const = 0;

    virtual bool FileExists(const std::string& path) = 0;
    // True when the file exists and carries the read-only attribute.
    virtual bool IsReadOnly(const std::string& path) = 0;
    // The whole content, or nothing when the file is missing or cannot be read.
    virtual std::optional<std::string> ReadFile(const std::string& path) = 0;

    // Creates the folder and any missing parents; true when it exists afterwards.
    virtual bool CreateFolders(const std::string& folder) = 0;
    // Where the content of `path` lives: a symbolic link is followed to its target (a target
    // that does not exist yet included); a plain file or a missing one is `path` itself.
    // Nothing when a link cannot be followed.
    virtual std::optional<std::string> LinkTarget(const std::string& path) = 0;
    // Creates a new empty file in the same folder as `path` under a name no file had, and
    // returns that name. The creation fails rather than open an existing file, so a file of
    // the user's is never taken over, not even one made at the same moment.
    virtual std::optional<std::string> TemporaryFileBeside(const std::string& path) = 0;
    // Creates or truncates `path`, writes `bytes` and waits until they are on the disk.
    virtual bool WriteFileThrough(const std::string& path, std::string_view bytes) = 0;
    // Puts `replacement` in the place of `target` in one step, so that `target` is always
    // either the old or the new file; `target` need not exist.
    virtual bool MoveOver(const std::string& replacement, const std::string& target) = 0;
    virtual bool RemoveFile(const std::string& path) = 0;
};

// Replaces the content of `path` with `bytes` without ever leaving a torn file: the bytes go to
// a temporary file in the same folder, reach the disk, and only then take the old file's place.
// On failure the old file is as it was and the temporary file is gone.
bool ReplaceFileContents(FileSystem& fs, const std::string& path, std::string_view bytes);

// A candidate name for a temporary file beside `path`: the path with ".xxxxxxxx.tmp" added,
// the hexadecimal digits those of `token`.
std::string TemporaryNameBeside(const std::string& path, std::uint32_t token);

// The folder part of `path`: everything before its last separator ("\" or "/"), or empty.
std::string FolderOf(std::string_view path);
// The name part of `path`: everything after its last separator ("\" or "/").
std::string NameOf(std::string_view path);

// The file system of the machine the program runs on, through the standard library. The
// Win32 layer has its own; this one serves native builds and tests.
class PortableFileSystem : public FileSystem {
public:
    std::string ExecutableFolder() override;
    char PathSeparator() const override { return '/'; }
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

} // namespace lupenta
