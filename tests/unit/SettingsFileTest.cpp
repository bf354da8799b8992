#include "platform/FileSystem.h"
#include "settings/SettingsStore.h"
#include "support/FakeFileSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <set>

namespace lupenta {
namespace {

namespace fs = std::filesystem;
using testing::FakeFileSystem;

const std::string kOld = "[Lupenta]\r\nmemX=1\r\n\r\n";

TEST(SettingsFile, AFailedOrRefusedWriteLeavesTheOldFileAndNoTemporaryFile) {
    struct Case {
        const char* name;
        std::function<void(FakeFileSystem&)> fail;
    };
    const auto ini = [](FakeFileSystem& f) { return f.executableFolder + "\\Lupenta.ini"; };
    const Case cases[] = {
        {"no temporary name", [](FakeFileSystem& f) { f.failTemporaryName = true; }},
        {"disk full part-way", [](FakeFileSystem& f) { f.failWriteAfter = 12; }},
        {"final replace fails", [](FakeFileSystem& f) { f.failMoveOver = true; }},
        {"made read-only while running", [&](FakeFileSystem& f) { f.readOnly.insert(ini(f)); }},
        {"a link that cannot be followed", [&](FakeFileSystem& f) { f.links[ini(f)]; }},
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

TEST_F(SettingsFileOnDisk, AFileMadeReadOnlyAfterLoadingIsLeftAlone) {
    Put(kOld);
    FolderFileSystem files(folder.string());
    {
        TSettingsStore store(files);
        store.SetFileName("Lupenta.ini");
        store.Reload();
        fs::permissions(ini, fs::perms::owner_read);
        store.WriteInteger("memX", 2);
    }
    EXPECT_EQ(Get(), kOld);
    EXPECT_EQ(Names(), std::vector<std::string>{"Lupenta.ini"});
}

TEST_F(SettingsFileOnDisk, TemporaryFilesAreNewEmptyFilesThatTakeNoOnesName) {
    // The user's own files beside the settings, one of them where a careless writer would go.
    for (const char* name : {"Lupenta.ini", "Lupenta.ini.tmp", "notes.txt"})
        std::ofstream(folder / name, std::ios::binary) << "mine";
    const std::vector<std::string> before = Names();
    FolderFileSystem files(folder.string());
    std::set<std::string> made;
    for (int i = 0; i < 20; ++i) {
        const std::optional<std::string> temporary = files.TemporaryFileBeside(ini);
        ASSERT_TRUE(temporary);
        const std::string name = fs::path(*temporary).filename().string();
        EXPECT_EQ(std::count(before.begin(), before.end(), name), 0) << name;
        EXPECT_TRUE(made.insert(name).second) << name;
        EXPECT_EQ(fs::file_size(*temporary), 0u);
    }
    for (const char* name : {"Lupenta.ini", "Lupenta.ini.tmp", "notes.txt"}) {
        std::ifstream in(folder / name, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "mine") << name;
    }
    EXPECT_EQ(TemporaryNameBeside("C:\\x\\Lupenta.ini", 0xBEEF), "C:\\x\\Lupenta.ini.0000beef.tmp");
}

TEST_F(SettingsFileOnDisk, ALinkedFileIsWrittenWhereTheLinkPointsAndStaysALink) {
    struct Case {
        const char* name;
        // Links made in order, each from a name in the folder to a target as written.
        std::vector<std::pair<std::string, std::string>> links;
        // Where the settings end up, relative to the folder.
        std::string written;
    };
    const Case cases[] = {
        {"relative", {{"Lupenta.ini", "real/settings.ini"}}, "real/settings.ini"},
        {"absolute", {{"Lupenta.ini", "<folder>/real/settings.ini"}}, "real/settings.ini"},
        {"link to a link",
         {{"Lupenta.ini", "middle.ini"}, {"middle.ini", "real/settings.ini"}},
         "real/settings.ini"},
        {"target not there yet", {{"Lupenta.ini", "real/new.ini"}}, "real/new.ini"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(folder);
        fs::create_directories(folder / "real");
        std::ofstream(folder / "real/settings.ini", std::ios::binary) << kOld;
        for (const auto& [from, to] : c.links) {
            std::string target = to;
            if (target.rfind("<folder>", 0) == 0)
                target = folder.string() + target.substr(8);
            fs::create_symlink(target, folder / from);
        }
        FolderFileSystem files(folder.string());
        Run(files);
        for (const auto& [from, to] : c.links)
            EXPECT_TRUE(fs::is_symlink(fs::symlink_status(folder / from))) << from;
        std::ifstream in(folder / c.written, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
                  "[Lupenta]\r\nmemX=2\r\n\r\n");
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            EXPECT_EQ(entry.path().extension(), entry.is_directory() ? "" : ".ini") << entry.path();
    }
}

TEST_F(SettingsFileOnDisk, LinksInACircleAreLeftAsTheyAre) {
    fs::create_symlink("other.ini", ini);
    fs::create_symlink("Lupenta.ini", folder / "other.ini");
    FolderFileSystem files(folder.string());
    Run(files);
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(ini)));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(folder / "other.ini")));
    EXPECT_EQ(Names().size(), 2u);
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
