#include "win32/ProgramArguments.h"
#include "win32/Text.h"
#include "win32/Win32RunKey.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace lupenta::win32 {
namespace {

// A name of the tests' own, so a real "Lupenta" value in the prefix is left alone.
const std::string kName = "LupentaTest";
const wchar_t* const kWideName = L"LupentaTest";

// The value as the registry holds it, read past the class under test.
struct RawValue {
    DWORD type = REG_NONE;
    std::wstring bytesAsText; // every byte stored, the terminating zero included
};

std::optional<RawValue> ReadRaw(const wchar_t* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Win32RunKey::kRunKeyPath, 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return std::nullopt;
    RawValue value;
    DWORD size = 0;
    LSTATUS status = RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &size);
    if (status == ERROR_SUCCESS) {
        value.bytesAsText.resize(size / sizeof(wchar_t));
        status = RegQueryValueExW(key, name, nullptr, &value.type,
                                  reinterpret_cast<BYTE*>(value.bytesAsText.data()), &size);
    }
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

bool KeyOpens(const wchar_t* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

class RunKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Every user's profile has the key; a fresh prefix may not.
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Win32RunKey::kRunKeyPath, 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
        runKey.Remove(kName);
    }
    void TearDown() override { runKey.Remove(kName); }

    Win32RunKey runKey;
};

TEST_F(RunKeyTest, WritesATextValueWithItsTerminatingZeroAndRemovesIt) {
    const struct {
        std::string data;
        std::wstring stored;
    } cases[] = {
        {"\"C:\\Program Files\\Lupenta\\Lupenta.exe\" /autostart",
         L"\"C:\\Program Files\\Lupenta\\Lupenta.exe\" /autostart"},
        {"\"C:\\Users\\J\u00fcrgen \u00d8ster\\\u65e5\u672c\\Lupenta.exe\" /autostart",
         L"\"C:\\Users\\J\u00fcrgen \u00d8ster\\\u65e5\u672c\\Lupenta.exe\" /autostart"},
        // Outside the basic plane: a surrogate pair in UTF-16.
        {"\"C:\\\U0001F50D\\Lupenta.exe\" /autostart",
         L"\"C:\\\U0001F50D\\Lupenta.exe\" /autostart"},
        {"", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        EXPECT_FALSE(runKey.Exists(kName));
        ASSERT_EQ(runKey.Write(kName, c.data), RunKey::WriteResult::Written);
        EXPECT_TRUE(runKey.Exists(kName));
        const std::optional<RawValue> raw = ReadRaw(kWideName);
        ASSERT_TRUE(raw);
        EXPECT_EQ(raw->type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(raw->bytesAsText, c.stored + L'\0');

        runKey.Remove(kName);
        EXPECT_FALSE(runKey.Exists(kName));
        EXPECT_FALSE(ReadRaw(kWideName));
    }
}

TEST_F(RunKeyTest, AnyValueOfTheNameCountsAndIsReplacedByText) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, Win32RunKey::kRunKeyPath, 0, KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    const DWORD number = 7;
    RegSetValueExW(key, kWideName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                   sizeof number);
    RegCloseKey(key);
    EXPECT_TRUE(runKey.Exists(kName));

    ASSERT_EQ(runKey.Write(kName, "second"), RunKey::WriteResult::Written);
    ASSERT_EQ(runKey.Write(kName, "third"), RunKey::WriteResult::Written);
    const std::optional<RawValue> raw = ReadRaw(kWideName);
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(raw->bytesAsText, std::wstring(L"third") + L'\0');
}

TEST_F(RunKeyTest, RemovingAValueThatIsNotThereIsHarmless) {
    runKey.Remove(kName);
    EXPECT_FALSE(runKey.Exists(kName));
    EXPECT_EQ(runKey.Write(kName, "x"), RunKey::WriteResult::Written);
}

TEST_F(RunKeyTest, AMissingKeyIsNeverCreated) {
    const wchar_t* const missing = L"Software\\LupentaTestMissing\\Run";
    ASSERT_FALSE(KeyOpens(missing));
    Win32RunKey missingKey(missing);
    EXPECT_FALSE(missingKey.Exists(kName));
    EXPECT_EQ(missingKey.Write(kName, "data"), RunKey::WriteResult::KeyNotOpened);
    missingKey.Remove(kName);
    EXPECT_FALSE(KeyOpens(missing));
    EXPECT_FALSE(KeyOpens(L"Software\\LupentaTestMissing"));
}

TEST(ProgramArguments, StartWithTheExecutable) {
    const std::vector<std::string> arguments = ProgramArguments();
    ASSERT_FALSE(arguments.empty());
    EXPECT_EQ(arguments.size(), static_cast<std::size_t>(__argc));
    const std::string path = ExecutablePath();
    ASSERT_GT(path.size(), 3u);
    EXPECT_EQ(path[1], ':');
    const std::string name = "lupenta_win32_tests.exe";
    ASSERT_GE(path.size(), name.size());
    EXPECT_EQ(CompareStringOrdinal(Widen(path.substr(path.size() - name.size())).c_str(), -1,
                                   Widen(name).c_str(), -1, TRUE),
              CSTR_EQUAL);
}

} // namespace
} // namespace lupenta::win32
