#include "platform/win32/Text.h"
#include "platform/win32/Win32FileSystem.h"
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace lupenta::win32 {
namespace {

const std::string kOld = "[Lupenta]\r\nmemX=1\r\n\r\n";

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
