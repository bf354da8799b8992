#include "settings/SettingsStore.h"
#include "support/FakeFileSystem.h"

#include <gtest/gtest.h>

#include <memory>

namespace lupenta {
namespace {

using testing::FakeFileSystem;
using namespace std::string_literals;

const std::string kFolder = "C:\\Program Files\\Lupenta";
const std::string kIni = kFolder + "\\Lupenta.ini";

// Text as UTF-16 bytes after their byte-order mark.
std::string Utf16(std::u16string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

class SettingsStoreTest : public ::testing::Test {
protected:
    // A store over "Lupenta.ini" holding `bytes`, or over no file at all.
    TSettingsStore& Load(std::optional<std::string> bytes) {
        store.reset();
        if (bytes)
            files.files[kIni] = *bytes;
        store = std::make_unique<TSettingsStore>(files);
        store->SetFileName("Lupenta.ini");
        store->Reload();
        return *store;
    }
    std::string Flushed() {
        store->Flush();
        return files.files.at(kIni);
    }

    FakeFileSystem files;
    std::unique_ptr<TSettingsStore> store;
};

TEST(SettingsPaths, ConcatPathsResolvesDotsAndSeparators) {
    struct Case {
        std::vector<std::string_view> paths;
        std::string expected;
    };
    const Case cases[] = {
        {{"..\\", "memX"}, "memX"},
        {{"..\\", ""}, ""},
        {{"a\\b", "..", "c"}, "a\\c"},
        {{"a\\b\\c", "..."}, "a"},
        {{"a", "....."}, ""},
        {{"a\\.\\b", "."}, "a\\b"},
        {{"\\\\a\\\\\\b\\\\"}, "a\\b"},
        // A later absolute path starts afresh; the first one does not count as later.
        {{"x", "\\y", "z"}, "y\\z"},
        {{"\\x", "y"}, "x\\y"},
        {{"x\\..\\y", "\\", "z"}, "z"},
        {{".x", "y"}, ".x\\y"},
        {{}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(TSettingsStore::ConcatPaths(c.paths), c.expected);
    }
}

TEST_F(SettingsStoreTest, FullFileNameIsTheNamePartBesideTheExecutable) {
    Load(std::nullopt);
    store->SetFileName("D:\\elsewhere\\Lupenta.ini");
    EXPECT_EQ(store->FullFileName(), kIni);
    files.executableFolder = "C:\\";
    store->SetFileName("Lupenta.ini");
    EXPECT_EQ(store->FullFileName(), "C:\\Lupenta.ini");
}

TEST_F(SettingsStoreTest, PathsChooseTheSection) {
    Load("[Lupenta]\nmemX=1\n[A\\B]\nkey=2\n[Lupenta.sub]\nkey=3\n");
    EXPECT_EQ(store->ReadInteger("..\\memX", -1), 1);
    EXPECT_EQ(store->ReadInteger("\\memX", -1), 1);
    EXPECT_EQ(store->ReadInteger("A\\B\\key", -1), 2);
    EXPECT_EQ(store->ReadInteger(".sub\\key", -1), 3);
    EXPECT_EQ(store->ReadInteger("key", -1), -1);
}

TEST_F(SettingsStoreTest, LookupIgnoresCaseAndWritesKeepTheSpellingFound) {
    Load("[lupenta]\npixlevel=5\n");
    EXPECT_EQ(store->ReadInteger("Pixlevel", 0), 5);
    store->WriteInteger("Pixlevel", 10);
    store->WriteString("ShowTitlebar", "True");
    EXPECT_EQ(Flushed(), "[lupenta]\r\npixlevel=10\r\nShowTitlebar=True\r\n\r\n");
}

TEST_F(SettingsStoreTest, RewriteDropsCommentsBlanksAndStrayLines) {
    Load("stray=1\r\n"
         "; a comment\r\n"
         "  [ Lupenta ]  \r\n"
         "\r\n"
         "memX   =   12  \r"
         "\t\r\n"
         "memY=3\n"
         "[Other]\n"
         "a = b = c\n"
         "[LUPENTA]\n"
         "Pixlevel=0\n");
    EXPECT_EQ(store->ReadInteger("memX", 0), 12);
    EXPECT_EQ(store->ReadString("Other\\a", ""), "b = c");
    EXPECT_EQ(store->ReadString("stray", "none"), "none");
    EXPECT_EQ(Flushed(), "[Lupenta]\r\nmemX=12\r\nmemY=3\r\nPixlevel=0\r\n\r\n"
                         "[Other]\r\na=b = c\r\n\r\n");
}

TEST_F(SettingsStoreTest, NewFileIsPlainTextEndingInAnEmptyLine) {
    Load(std::nullopt);
    EXPECT_FALSE(store->Encoding());
    store->WriteString("InvertImage1_Checked", "True");
    store->WriteInteger("memX", -40);
    store->WriteBoolean("Panel1_Visible", false);
    EXPECT_EQ(Flushed(), "[Lupenta]\r\nInvertImage1_Checked=True\r\nmemX=-40\r\n"
                         "Panel1_Visible=FALSE\r\n\r\n");
}

TEST_F(SettingsStoreTest, FileIsWrittenBackInTheEncodingItWasReadIn) {
    struct Case {
        const char* name;
        std::string read;
        std::string written;
    };
    // "Größe" and a character beyond 16 bits show each encoding in the bytes.
    const Case cases[] = {
        {"utf-8",
         "\xEF\xBB\xBF[Lupenta]\nName=Gr\xC3\xB6\xC3\x9F"
         "e\n",
         "\xEF\xBB\xBF[Lupenta]\r\nName=Gr\xC3\xB6\xC3\x9F"
         "e\r\nmemX=1\r\n\r\n"},
        {"latin-1",
         "[Lupenta]\nName=Gr\xF6\xDF"
         "e\n",
         "[Lupenta]\r\nName=Gr\xF6\xDF"
         "e\r\nmemX=1\r\n\r\n"},
        {"utf-16le", Utf16(u"[Lupenta]\nName=Gr\u00F6\u00DFe \U0001F600\n", false),
         Utf16(u"[Lupenta]\r\nName=Gr\u00F6\u00DFe \U0001F600\r\nmemX=1\r\n\r\n", false)},
        {"utf-16be", Utf16(u"[Lupenta]\nName=Gr\u00F6\u00DFe \U0001F600\n", true),
         Utf16(u"[Lupenta]\r\nName=Gr\u00F6\u00DFe \U0001F600\r\nmemX=1\r\n\r\n", true)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Load(c.read);
        store->WriteInteger("memX", 1);
        EXPECT_EQ(Flushed(), c.written);
    }
}

TEST_F(SettingsStoreTest, Utf16TextReadsAsTheSameCharacters) {
    Load(Utf16(u"[Lupenta]\nName=Gr\u00F6\u00DFe \U0001F600\n", true));
    EXPECT_EQ(store->ReadString("name", ""), "Gr\xC3\xB6\xC3\x9F"
                                             "e \xF0\x9F\x98\x80");
}

TEST_F(SettingsStoreTest, MalformedUtf8ReadsAsReplacementCharacters) {
    struct Case {
        const char* name;
        std::string bytes;
        std::string value;
    };
    const std::string replacement = "\xEF\xBF\xBD";
    const Case cases[] = {
        // Overlong forms of a line feed and a carriage return must not break the line.
        {"overlong line feed", "\xC0\x8A", replacement + replacement},
        {"overlong carriage return", "\xE0\x80\x8D", replacement + replacement + replacement},
        {"overlong four bytes", "\xF0\x80\x80\x8A",
         replacement + replacement + replacement + replacement},
        {"surrogate", "\xED\xA0\x80", replacement + replacement + replacement},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80",
         replacement + replacement + replacement + replacement},
        {"cut short", "a\xE2\x82", "a" + replacement + replacement},
        {"well formed", "\xE2\x82\xAC", "\xE2\x82\xAC"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Load("\xEF\xBB\xBF[Lupenta]\nk=<" + c.bytes + ">\nmemX=1\n");
        const std::string expected = "<" + c.value + ">";
        EXPECT_EQ(store->ReadString("k", ""), expected);
        EXPECT_EQ(store->ReadInteger("memX", 0), 1);
        EXPECT_EQ(Flushed(), "\xEF\xBB\xBF[Lupenta]\r\nk=" + expected + "\r\nmemX=1\r\n\r\n");
    }
}

// What the program writes is what it reads back, in this run and after the next start.
TEST_F(SettingsStoreTest, ValuesAreKeptAsTheFileGivesThemBack) {
    struct Case {
        const char* name;
        std::string file;
        std::string written;
        std::string kept;
    };
    const Case cases[] = {
        // A line break would start a line of its own and could set another key.
        {"line breaks", "[Lupenta]\n", "1\r\nmemY=666\n[x]\rk=v", "1  memY=666 [x] k=v"},
        {"blanks at the ends", "[Lupenta]\n", " \t 12 \x01", "12"},
        {"beyond latin-1", "[Lupenta]\n", "Gr\xC3\xB6\xC3\x9F\xE2\x82\xAC", "Gr\xC3\xB6\xC3\x9F?"},
        {"utf-16 holds it all", Utf16(u"[Lupenta]\n", false), "\xE2\x82\xAC\xF0\x9F\x98\x80",
         "\xE2\x82\xAC\xF0\x9F\x98\x80"},
        {"malformed", "\xEF\xBB\xBF[Lupenta]\n", "\xC0\x8A", "\xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Load(c.file);
        store->WriteString("memX", c.written);
        EXPECT_EQ(store->ReadString("memX", ""), c.kept);
        Load(Flushed());
        EXPECT_EQ(store->ReadString("memX", ""), c.kept);
        EXPECT_FALSE(store->ValueStored("memY"));
        EXPECT_EQ(store->Document().sections.size(), 1u);
    }
}

TEST_F(SettingsStoreTest, IntegerTexts) {
    struct Case {
        std::string text;
        std::optional<std::int32_t> value; // nothing: a conversion error
    };
    const Case cases[] = {
        {"12", 12},
        {"  12  ", 12},
        {"", 0},
        {"+7", 7},
        {"-0", 0},
        {"0x1F", 31},
        {"0X1f", 31},
        {"$1F", 31},
        {"x1F", 31},
        {"X1f", 31},
        {"-$10", -16},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"$7FFFFFFF", 2147483647},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"$80000000", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"12abc", std::nullopt},
        {"1 2", std::nullopt},
        {"0x", std::nullopt},
        {"$", std::nullopt},
        {"-", std::nullopt},
        {"1.5", std::nullopt},
        {"0xG", std::nullopt},
        {"True", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("'" + c.text + "'");
        Load("[Lupenta]\nv=" + c.text + "\n");
        if (c.value) {
            EXPECT_EQ(store->ReadInteger("v", 99), *c.value);
        } else {
            const std::string trimmed = store->ReadString("v", "");
            try {
                store->ReadInteger("v", 99);
                ADD_FAILURE() << "no conversion error";
            } catch (const ConversionError& e) {
                EXPECT_EQ(std::string(e.what()), "'" + trimmed + "' is not a valid integer value");
            }
        }
    }
}

TEST_F(SettingsStoreTest, BooleanTexts) {
    struct Case {
        std::string text;
        std::optional<bool> value; // nothing: a conversion error
    };
    const Case cases[] = {
        {"yes", true},    {"Y", true},      {"True", true}, {"TRUE", true}, {"n", false},
        {"FALSE", false}, {"No", false},    {"2", true},    {"-1", true},   {"$10", true},
        {"0", false},     {"", false},      {"maybe", {}},  {"T", {}},      {"yes please", {}},
        {"0x", {}},       {"TRUE,YES", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("'" + c.text + "'");
        Load("[Lupenta]\nv=" + c.text + "\n");
        if (c.value)
            EXPECT_EQ(store->ReadBoolean("v", !*c.value), *c.value);
        else
            EXPECT_THROW(store->ReadBoolean("v", false), ConversionError);
    }
}

TEST_F(SettingsStoreTest, AbsentLinesGiveTheDefault) {
    Load("[Lupenta]\nother=x\n");
    EXPECT_EQ(store->ReadString("memX", "d"), "d");
    EXPECT_EQ(store->ReadInteger("memX", -5), -5);
    EXPECT_TRUE(store->ReadBoolean("memX", true));
    EXPECT_FALSE(store->ValueStored("memX"));
    EXPECT_EQ(store->ReadInteger("Nowhere\\other", 3), 3);
}

TEST_F(SettingsStoreTest, BareKeyExistsAndReadsAsEmpty) {
    Load("[Lupenta]\nmemX\n");
    EXPECT_TRUE(store->ValueStored("memX"));
    EXPECT_EQ(store->ReadString("memX", "d"), "");
    EXPECT_EQ(store->ReadInteger("memX", 7), 0);
    EXPECT_FALSE(store->ReadBoolean("memX", true));
    EXPECT_EQ(Flushed(), "[Lupenta]\r\nmemX\r\n\r\n");
    store->WriteInteger("MEMX", 4);
    EXPECT_EQ(Flushed(), "[Lupenta]\r\nmemX=4\r\n\r\n");
}

TEST_F(SettingsStoreTest, LaterDuplicateWinsAndBothLinesStay) {
    Load("[Lupenta]\nmemX=1\nMEMX=2\n");
    EXPECT_EQ(store->ReadInteger("memx", 0), 2);
    store->WriteInteger("memX", 3);
    EXPECT_EQ(Flushed(), "[Lupenta]\r\nmemX=1\r\nMEMX=3\r\n\r\n");
}

TEST_F(SettingsStoreTest, ReadOnlyFileIgnoresWritesAndIsNeverWritten) {
    const std::string original = "[Lupenta]\nmemX=1\n";
    files.readOnly.insert(kIni);
    Load(original);
    EXPECT_TRUE(store->ReadOnly());
    store->WriteInteger("memX", 2);
    store->WriteString("new", "x");
    store->WriteBoolean("b", true);
    EXPECT_EQ(store->ReadInteger("memX", 0), 1);
    EXPECT_FALSE(store->ValueStored("new"));
    store.reset();
    EXPECT_EQ(files.files.at(kIni), original);
}

TEST_F(SettingsStoreTest, DestroyingTheStoreWritesTheFileOnce) {
    Load(std::nullopt);
    store->WriteInteger("memX", 1);
    EXPECT_FALSE(files.FileExists(kIni));
    store.reset();
    EXPECT_EQ(files.files.at(kIni), "[Lupenta]\r\nmemX=1\r\n\r\n");
}

TEST_F(SettingsStoreTest, UnreadableFileGivesAnEmptyDocumentAndIsKept) {
    files.unreadable.insert(kIni);
    Load("[Lupenta]\nmemX=1\n");
    EXPECT_EQ(store->ReadInteger("memX", 9), 9);
    store->WriteInteger("memX", 2);
    EXPECT_EQ(store->ReadInteger("memX", 9), 2);
    store.reset();
    EXPECT_EQ(files.files.at(kIni), "[Lupenta]\nmemX=1\n");
}

TEST_F(SettingsStoreTest, MissingFolderIsCreatedAndAFailureIsSilent) {
    files.executableFolder = "D:\\portable\\Lupenta";
    Load(std::nullopt);
    store->WriteInteger("memX", 1);
    store->Flush();
    EXPECT_TRUE(files.FileExists("D:\\portable\\Lupenta\\Lupenta.ini"));

    files.executableFolder = "E:\\gone";
    files.failCreateFolders = true;
    Load(std::nullopt);
    store->WriteInteger("memX", 1);
    EXPECT_NO_THROW(store->Flush());
    EXPECT_FALSE(files.FileExists("E:\\gone\\Lupenta.ini"));
}

TEST_F(SettingsStoreTest, UpdateDepthNeverGoesBelowZero) {
    Load(std::nullopt);
    store->EndUpdate();
    store->BeginUpdate();
    EXPECT_EQ(store->UpdateDepth(), 1);
    store->EndUpdate();
    store->EndUpdate();
    EXPECT_EQ(store->UpdateDepth(), 0);
}

TEST_F(SettingsStoreTest, HostileFilesLoadWithoutHarm) {
    struct Case {
        const char* name;
        std::string bytes;
        std::string rewritten;
    };
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>((i * 7919) & 0xFF);
    const Case cases[] = {
        {"empty", "", ""},
        {"utf-8 mark alone", "\xEF\xBB\xBF", "\xEF\xBB\xBF"},
        {"utf-16 mark alone", "\xFF\xFE", "\xFF\xFE"},
        {"utf-16 odd length", Utf16(u"[L]\n", false) + "[", Utf16(u"[L]\r\n\r\n", false)},
        {"unbalanced brackets", "[Lupenta\n]x[\n[[a]\nk=v\n[]\n", "[[a]\r\nk=v\r\n\r\n[]\r\n\r\n"},
        {"a key of equals signs", "[Lupenta]\n" + std::string(1000, '=') + "\n",
         "[Lupenta]\r\n=" + std::string(999, '=') + "\r\n\r\n"},
        {"nul bytes", "[Lupenta]\nk\0y=v\0l\n\0\0\n"s, "[Lupenta]\r\nk\0y=v\0l\r\n\r\n"s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Load(c.bytes);
        EXPECT_EQ(Flushed(), c.rewritten);
    }

    Load(binary);
    EXPECT_NO_THROW(store->Flush());

    const std::string longValue(1 << 20, 'a');
    Load("[Lupenta]\nlong=" + longValue + "\nmemX=3\n");
    EXPECT_TRUE(store->ReadString("long", "") == longValue);
    EXPECT_EQ(store->ReadInteger("memX", 0), 3);
    EXPECT_THROW(store->ReadInteger("long", 0), ConversionError);
}

} // namespace
} // namespace lupenta
