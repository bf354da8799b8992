#include "platform/FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <unistd.h>
#define LUPENTA_HAVE_FSYNC 1
#endif

namespace lupenta {

namespace fs = std::filesystem;

bool ReplaceFileContents(FileSystem& files, const std::string& path, std::string_view bytes) {
    const std::optional<std::string> temporary = files.TemporaryFileBeside(path);
    if (!temporary)
        return false;
    if (files.WriteFileThrough(*temporary, bytes) && files.MoveOver(*temporary, path))
        return true;
    files.RemoveFile(*temporary);
    return false;
}

std::string TemporaryNameBeside(const std::string& path, std::uint32_t token) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(token));
    return path + suffix;
}

std::string FolderOf(std::string_view path) {
    const auto last = path.find_last_of("\\/");
    return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last));
}

std::string NameOf(std::string_view path) {
    const auto last = path.find_last_of("\\/");
    return std::string(last == std::string_view::npos ? path : path.substr(last + 1));
}

namespace {

#ifdef LUPENTA_HAVE_FSYNC
// Without this a power cut right after the rename could leave the old directory entry.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}
#endif

} // namespace

std::string PortableFileSystem::ExecutableFolder() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        return fs::current_path(ec).string();
    return exe.parent_path().string();
}

bool PortableFileSystem::FileExists(const std::string& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    return !ec && fs::exists(status) && !fs::is_directory(status);
}

bool PortableFileSystem::IsReadOnly(const std::string& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec || !fs::exists(status))
        return false;
    return (status.permissions() & fs::perms::owner_write) == fs::perms::none;
}

std::optional<std::string> PortableFileSystem::ReadFile(const std::string& path) {
    if (!FileExists(path))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string content;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
        content.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (in.bad())
        return std::nullopt;
    return content;
}

bool PortableFileSystem::CreateFolders(const std::string& folder) {
    if (folder.empty())
        return true;
    std::error_code ec;
    fs::create_directories(folder, ec);
    return fs::is_directory(folder, ec);
}

std::optional<std::string> PortableFileSystem::LinkTarget(const std::string& path) {
    // As many links in a row as the system itself follows before it calls it a loop.
    constexpr int kMostLinks = 40;
    fs::path current = path;
    for (int hop = 0; hop < kMostLinks; ++hop) {
        std::error_code ec;
        const fs::file_status status = fs::symlink_status(current, ec);
        if (ec && ec != std::errc::no_such_file_or_directory)
            return std::nullopt;
        if (!fs::is_symlink(status))
            return current.string();
        const fs::path target = fs::read_symlink(current, ec);
        if (ec)
            return std::nullopt;
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return std::nullopt;
}

std::optional<std::string> PortableFileSystem::TemporaryFileBeside(const std::string& path) {
    static std::mt19937 random{std::random_device{}()};
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string candidate = TemporaryNameBeside(path, random());
        // "x": the open fails when the name exists, so nothing of anyone else's is truncated.
        if (std::FILE* file = std::fopen(candidate.c_str(), "wbx")) {
            std::fclose(file);
            return candidate;
        }
        if (errno != EEXIST)
            return std::nullopt;
    }
    return std::nullopt;
}

bool PortableFileSystem::WriteFileThrough(const std::string& path, std::string_view bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fflush(file) == 0 && ok;
#ifdef LUPENTA_HAVE_FSYNC
    ok = ::fsync(::fileno(file)) == 0 && ok;
#endif
    ok = std::fclose(file) == 0 && ok;
    return ok;
}

bool PortableFileSystem::MoveOver(const std::string& replacement, const std::string& target) {
    std::error_code ec;
    fs::rename(replacement, target, ec);
    if (ec)
        return false;
#ifdef LUPENTA_HAVE_FSYNC
    SyncFolder(FolderOf(target));
#endif
    return true;
}

bool PortableFileSystem::RemoveFile(const std::string& path) {
    std::error_code ec;
    return fs::remove(path, ec);
}

} // namespace lupenta
