#include "settings/SettingsStore.h"
#include "win32/Text.h"
#include "win32/Win32FileSystem.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace lupenta::win32 {
namespace {

const std::string kOld = "[Lupenta]\r\nmemX=1\r\n\r\n";

DWORD Attributes(const std::string& path) {
    return GetFileAttributesW(Widen(path).c_str());
}

// The Win32 file system with the program's folder moved to a fresh temporary folder.
class TemporaryFolderFileSystem : public Win32FileSystem {
public:
    TemporaryFolderFileSystem() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = Narrow(std::wstring(temp)) + "lupenta-fs-" + std::to_string(GetTickCount()) +
                  "-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryW(Widen(folder_).c_str(), nullptr);
    }
    ~TemporaryFolderFileSystem() override {
        for (const std::string& name : Names()) {
            const std::wstring path = Widen(folder_ + "\\" + name);
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(path.c_str());
        }
        RemoveDirectoryW(Widen(folder_).c_str());
    }
    std::string ExecutableFolder() override { return folder_; }

    std::string Ini() const { return folder_ + "\\Lupenta.ini"; }
    void Put(const std::string& bytes) { ASSERT_TRUE(WriteFileThrough(Ini(), bytes)); }
    std::string Get() { return ReadFile(Ini()).value_or("<unreadable>"); }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW(Widen(folder_ + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return names;
        do {
            const std::string name = Narrow(std::wstring(found.cFileName));
            if (name != "." && name != "..")
                names.push_back(name);
        } while (FindNextFileW(search, &found));
        FindClose(search);
        return names;
    }

private:
    std::string folder_;
};

// One run of the program that changes a setting and ends.
void RunProgram(FileSystem& files) {
    TSettingsStore store(files);
    store.SetFileName("Lupenta.ini");
    store.Reload();
    store.WriteInteger("memX", 2);
}

TEST(Win32FileSystem, SettingsLieBesideTheExecutable) {
    wchar_t exe[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::string expected = Narrow(std::wstring(exe, length));
    expected = expected.substr(0, expected.find_last_of('\\')) + "\\Lupenta.ini";

    Win32FileSystem files;
    ASSERT_TRUE(files.WriteFileThrough(expected, "[Lupenta]\r\nmemX=7\r\n"));
    {
        TSettingsStore store(files);
        store.FlushOnDestroy = false;
        store.SetFileName("D:\\anywhere\\Lupenta.ini");
        EXPECT_EQ(store.FullFileName(), expected);
        store.Reload();
        EXPECT_EQ(store.ReadInteger("memX", 0), 7);
    }
    files.RemoveFile(expected);
}

TEST(Win32FileSystem, TheFileIsReplacedWholeAndNothingIsLeftBeside) {
    TemporaryFolderFileSystem files;
    RunProgram(files);
    EXPECT_EQ(files.Get(), "[Lupenta]\r\nmemX=2\r\n\r\n");
    // An existing file is replaced in the encoding it had.
    files.Put("\xEF\xBB\xBF[Lupenta]\r\nmemY=5\r\n");
    RunProgram(files);
    EXPECT_EQ(files.Get(), "\xEF\xBB\xBF[Lupenta]\r\nmemY=5\r\nmemX=2\r\n\r\n");
    EXPECT_EQ(files.Names(), std::vector<std::string>{"Lupenta.ini"});
}

TEST(Win32FileSystem, AReadOnlyFileIsNeverWritten) {
    TemporaryFolderFileSystem files;
    files.Put(kOld);
    SetFileAttributesW(Widen(files.Ini()).c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(files.IsReadOnly(files.Ini()));
    RunProgram(files);
    EXPECT_EQ(files.Get(), kOld);
}

TEST(Win32FileSystem, AFileMadeReadOnlyAfterLoadingIsLeftAlone) {
    TemporaryFolderFileSystem files;
    files.Put(kOld);
    {
        TSettingsStore store(files);
        store.SetFileName("Lupenta.ini");
        store.Reload();
        SetFileAttributesW(Widen(files.Ini()).c_str(), FILE_ATTRIBUTE_READONLY);
        store.WriteInteger("memX", 2);
    }
    EXPECT_EQ(files.Get(), kOld);
    EXPECT_EQ(files.Names(), std::vector<std::string>{"Lupenta.ini"});
}

TEST(Win32FileSystem, TemporaryFilesAreNewEmptyFilesThatTakeNoOnesName) {
    TemporaryFolderFileSystem files;
    files.Put(kOld);
    // Where a careless writer would put its temporary file.
    ASSERT_TRUE(files.WriteFileThrough(files.Ini() + ".tmp", "mine"));
    std::vector<std::string> made;
    for (int i = 0; i < 10; ++i) {
        const std::optional<std::string> temporary = files.TemporaryFileBeside(files.Ini());
        ASSERT_TRUE(temporary);
        EXPECT_EQ(std::count(made.begin(), made.end(), *temporary), 0) << *temporary;
        EXPECT_EQ(files.ReadFile(*temporary), "") << *temporary;
        made.push_back(*temporary);
    }
    EXPECT_EQ(files.ReadFile(files.Ini() + ".tmp"), "mine");
    EXPECT_EQ(files.Get(), kOld);
    EXPECT_EQ(files.Names().size(), 12u);
}

TEST(Win32FileSystem, AWindowsLinkIsWrittenWhereItPointsAndStaysALink) {
    TemporaryFolderFileSystem files;
    const std::string target = files.ExecutableFolder() + "\\settings.ini";
    ASSERT_TRUE(files.WriteFileThrough(target, kOld));
    // Some systems claim to make the link and make nothing.
    if (!CreateSymbolicLinkW(Widen(files.Ini()).c_str(), Widen(target).c_str(), 0) ||
        Attributes(files.Ini()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no symbolic links of Windows here";
    RunProgram(files);
    EXPECT_TRUE(Attributes(files.Ini()) & FILE_ATTRIBUTE_REPARSE_POINT);
    EXPECT_EQ(files.ReadFile(target), "[Lupenta]\r\nmemX=2\r\n\r\n");
    EXPECT_EQ(files.Names().size(), 2u);
}

// The folder the test run prepared outside Wine, in Wine's own form of the path.
std::optional<std::string> HostLinkedFolder() {
    const char* unixFolder = std::getenv("LUPENTA_LINKED_SETTINGS");
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (!unixFolder || !kernel)
        return std::nullopt;
    using ToDosName = WCHAR*(CDECL*)(LPCSTR);
    const auto toDosName = reinterpret_cast<ToDosName>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel, "wine_get_dos_file_name")));
    WCHAR* dosName = toDosName ? toDosName(unixFolder) : nullptr;
    if (!dosName)
        return std::nullopt;
    std::string folder = Narrow(dosName);
    HeapFree(GetProcessHeap(), 0, dosName);
    return folder;
}

class FolderFileSystem final : public Win32FileSystem {
public:
    explicit FolderFileSystem(std::string folder) : folder_(std::move(folder)) {}
    std::string ExecutableFolder() override { return folder_; }

private:
    std::string folder_;
};

TEST(Win32FileSystem, AHostLinkIsWrittenWhereItPointsAndStaysALink) {
    const std::optional<std::string> folder = HostLinkedFolder();
    if (!folder)
        GTEST_SKIP() << "no settings folder with a host link prepared";
    FolderFileSystem files(*folder);
    const std::string ini = *folder + "\\Lupenta.ini";
    const std::string target = *folder + "\\real\\settings.ini";
    ASSERT_TRUE(files.WriteFileThrough(target, kOld));
    ASSERT_EQ(files.ReadFile(ini), kOld);
    RunProgram(files);
    EXPECT_EQ(files.ReadFile(target), "[Lupenta]\r\nmemX=2\r\n\r\n");
    // Still one file under two names: what goes into the target shows through the link.
    ASSERT_TRUE(files.WriteFileThrough(target, kOld));
    EXPECT_EQ(files.ReadFile(ini), kOld);
}

TEST(Win32FileSystem, AFileHeldOpenKeepsItsOldContent) {
    TemporaryFolderFileSystem files;
    files.Put(kOld);
    // Another program holds the file open and lets nobody delete or rename it.
    HANDLE held = CreateFileW(Widen(files.Ini()).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    RunProgram(files);
    CloseHandle(held);
    EXPECT_EQ(files.Get(), kOld);
    EXPECT_EQ(files.Names(), std::vector<std::string>{"Lupenta.ini"});
}

} // namespace
} // namespace lupenta::win32
