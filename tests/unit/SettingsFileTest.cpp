#include "platform/FileSystem.h"
#include "settings/SettingsStore.h"
#include "support/FakeFileSystem.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

namespace lupenta {
namespace {

namespace fs = std::filesystem;
using testing::FakeFileSystem;

const std::string kOld = "[Lupenta]\r\nmemX=1\r\n\r\n";

TEST(SettingsFile, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
    struct Case {
        const char* name;
        std::function<void(FakeFileSystem&)> fail;
    };
    const Case cases[] = {
        {"no temporary name", [](FakeFileSystem& f) { f.failTemporaryName = true; }},
        {"disk full part-way", [](FakeFileSystem& f) { f.failWriteAfter = 12; }},
        {"final replace fails", [](FakeFileSystem& f) { f.failMoveOver = true; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeFileSystem files;
        const std::string ini = files.executableFolder + "\\Lupenta.ini";
        files.files[ini] = kOld;
        {
            TSettingsStore store(files);
            store.SetFileName("Lupenta.ini");
            store.Reload();
            store.WriteInteger("memX", 2);
            store.WriteString("ShowTitlebar", "True");
            c.fail(files);
        }
        EXPECT_EQ(files.files.at(ini), kOld);
        EXPECT_EQ(files.FilesIn(files.executableFolder), std::vector<std::string>{"Lupenta.ini"});
    }
}

// The real file system, with the program's folder in a fresh temporary folder.
class FolderFileSystem : public PortableFileSystem {
public:
    explicit FolderFileSystem(std::string folder) : folder_(std::move(folder)) {}
    std::string ExecutableFolder() override { return folder_; }

    bool failMoveOver = false;
    // Ends the process after writing this many bytes, as a crash or a power cut would.
    std::optional<std::size_t> dieAfter;

    bool WriteFileThrough(const std::string& path, std::string_view bytes) override {
        if (dieAfter) {
            PortableFileSystem::WriteFileThrough(path, bytes.substr(0, *dieAfter));
            std::_Exit(7);
        }
        return PortableFileSystem::WriteFileThrough(path, bytes);
    }
    bool MoveOver(const std::string& replacement, const std::string& target) override {
        return !failMoveOver && PortableFileSystem::MoveOver(replacement, target);
    }

private:
    std::string folder_;
};

class SettingsFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        folder = fs::temp_directory_path() / ("lupenta-settings-" + std::to_string(random()));
        fs::create_directories(folder);
        ini = (folder / "Lupenta.ini").string();
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(ini, fs::perms::owner_all, ec);
        fs::remove_all(folder, ec);
    }
    void Put(const std::string& bytes) { std::ofstream(ini, std::ios::binary) << bytes; }
    std::string Get() {
        std::ifstream in(ini, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        return names;
    }
    // One run of the program that changes a setting and ends.
    void Run(FolderFileSystem& files) {
        TSettingsStore store(files);
        store.SetFileName("Lupenta.ini");
        store.Reload();
        store.WriteInteger("memX", 2);
    }

    fs::path folder;
    std::string ini;
};

TEST_F(SettingsFileOnDisk, TheFileIsReplacedWhole) {
    FolderFileSystem files(folder.string());
    Run(files);
    EXPECT_EQ(Get(), "[Lupenta]\r\nmemX=2\r\n\r\n");
    Put("\xEF\xBB\xBF[Lupenta]\nmemX=1\nmemY=5\n");
    Run(files);
    EXPECT_EQ(Get(), "\xEF\xBB\xBF[Lupenta]\r\nmemX=2\r\nmemY=5\r\n\r\n");
    EXPECT_EQ(Names(), std::vector<std::string>{"Lupenta.ini"});
}

TEST_F(SettingsFileOnDisk, AFailedReplaceKeepsTheOldFile) {
    Put(kOld);
    FolderFileSystem files(folder.string());
    files.failMoveOver = true;
    Run(files);
    EXPECT_EQ(Get(), kOld);
    EXPECT_EQ(Names(), std::vector<std::string>{"Lupenta.ini"});
}

TEST_F(SettingsFileOnDisk, AWriterKilledPartWayLeavesTheOldFile) {
    // A forked child shares this folder, so what it leaves behind is seen here.
    GTEST_FLAG_SET(death_test_style, "fast");
    Put(kOld);
    FolderFileSystem files(folder.string());
    files.dieAfter = 5;
    EXPECT_EXIT(Run(files), ::testing::ExitedWithCode(7), "");
    EXPECT_EQ(Get(), kOld);
}

TEST_F(SettingsFileOnDisk, AReadOnlyFileIsNeverWritten) {
    Put(kOld);
    fs::permissions(ini, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    FolderFileSystem files(folder.string());
    {
        TSettingsStore store(files);
        store.SetFileName("Lupenta.ini");
        store.Reload();
        EXPECT_TRUE(store.ReadOnly());
        store.WriteInteger("memX", 2);
    }
    EXPECT_EQ(Get(), kOld);
}

} // namespace
} // namespace lupenta
