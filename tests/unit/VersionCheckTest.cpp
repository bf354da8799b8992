#include "update/VersionCheck.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace lupenta {
namespace {

using Lines = std::vector<std::string>;

TEST(VersionCheck, SplitLinesAtEveryKindOfBreak) {
    EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\n\r\nb\r\r"), (Lines{"a", "", "b", ""}));
    EXPECT_EQ(SplitLines("a\r\n"), (Lines{"a"}));
    EXPECT_EQ(SplitLines("\n"), (Lines{""}));
    EXPECT_EQ(SplitLines(""), Lines{});
}

struct ContentCase {
    const char* name;
    Lines lines;
    const char* key;
    std::string value;
};

TEST(VersionCheck, FindContentValue) {
    const std::string long254(254, 'v');
    const std::string long255(255, 'v');
    const ContentCase cases[] = {
        {"meta line", {R"(<meta name="Version" content="15.1">)"}, "Version", "15.1"},
        {"marker in upper case",
         {R"(<META NAME="whatsnew2" CONTENT="Faster grid">)"},
         "whatsnew2",
         "Faster grid"},
        {"marker in mixed case", {R"(x Version CoNtEnT="16.0" y)"}, "Version", "16.0"},
        {"key after the value", {R"(content="15.3" name="Version")"}, "Version", "15.3"},
        {"key is case-sensitive", {R"(<meta name="version" content="15.1">)"}, "Version", ""},
        {"no line has the key", {"<html>", "<title>404 Not Found</title>"}, "Version", ""},
        {"last line wins",
         {R"(<meta name="Version" content="15.1">)", R"(<meta name="Version" content="15.2">)"},
         "Version",
         "15.2"},
        {"a later feature line naming the key",
         {R"(<meta name="Version" content="15.1">)",
          R"(<meta name="whatsnew1" content="New Version dialog">)"},
         "Version",
         "New Version dialog"},
        {"a longer key also matches",
         {R"(<meta name="whatsnew1" content="one">)", R"(<meta name="whatsnew12" content="12">)"},
         "whatsnew1",
         "12"},
        {"first marker of the line counts", {R"(Version content="a" content="b")"}, "Version", "a"},
        {"one character skipped, whatever it is", {"Version content='15.1\" x"}, "Version", "15.1"},
        {"blank before the quote", {R"(Version content= "15.1")"}, "Version", ""},
        {"no closing quote", {R"(<meta name="Version" content="15.1>)"}, "Version", ""},
        {"marker at the end of the line", {"Version content="}, "Version", ""},
        {"no marker: from the ninth character", {R"(Version=15.4" and "more")"}, "Version", "15.4"},
        {"no marker, short line", {"Version"}, "Version", ""},
        {"254 characters", {"Version content=\"" + long254 + "\""}, "Version", long254},
        {"255 characters", {"Version content=\"" + long255 + "\""}, "Version", ""},
        {"non-ASCII value",
         {"Version content=\"Gr\xC3\xBC\xC3\x9F"
          "e\""},
         "Version",
         "Gr\xC3\xBC\xC3\x9F"
         "e"},
        {"non-ASCII character skipped",
         {"Version content=\xC2\xAB"
          "15.1\""},
         "Version",
         "15.1"},
    };
    for (const ContentCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FindContentValue(c.lines, c.key), c.value);
    }
}

struct VersionCase {
    const char* text;
    std::int32_t major;
    std::int32_t minor;
};

TEST(VersionCheck, MajorAndMinorNumbers) {
    const VersionCase cases[] = {
        {"15.0", 15, 0},
        {"15.10", 15, 10},
        {"16", 0, 16},
        {"", 0, 0},
        {".", 0, 0},
        {"15.", 15, 0},
        {".7", 0, 7},
        {"15.2.1", 15, 0},
        {"  15. 3", 15, 3},
        {"+15.-3", 15, -3},
        {"-1.+2", -1, 2},
        {"15 .3 ", 0, 0},
        {"v15.3a", 0, 0},
        {"$F.x10", 15, 16},
        {"0x1F.0XfF", 31, 255},
        {"-$10.X7fffffff", -16, 2147483647},
        {"$.0x", 0, 0},
        {"2147483647.-2147483648", 2147483647, -2147483648},
        {"2147483648.-2147483649", 0, 0},
        {"$80000000.99999999999", 0, 0},
    };
    for (const VersionCase& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(GetMajorVersion(c.text), c.major);
        EXPECT_EQ(GetMinorVersion(c.text), c.minor);
    }
}

struct CompareCase {
    const char* program;
    const char* online;
    UpdateKind kind;
};

TEST(VersionCheck, OnlineVersionAgainstTheProgram) {
    const CompareCase cases[] = {
        {"15.0", "15.1", UpdateKind::MinorUpgrade},
        {"15.0", "16.0", UpdateKind::MajorUpgrade},
        {"15.9", "16.0", UpdateKind::MajorUpgrade},
        {"15.0", "15.0", UpdateKind::UpToDate},
        {"15.0", "14.9", UpdateKind::UpToDate},
        {"15.3", "14.9", UpdateKind::UpToDate},
        {"15.9", "15.10", UpdateKind::MinorUpgrade},
        {"15.0", "16", UpdateKind::UpToDate},
        {"15.0", "15.2.1", UpdateKind::UpToDate},
        {"15.0", "$10.0", UpdateKind::MajorUpgrade},
        // Without a readable version of its own the program counts as 0.0.
        {"", "0.1", UpdateKind::MinorUpgrade},
    };
    for (const CompareCase& c : cases) {
        SCOPED_TRACE(std::string(c.program) + " against " + c.online);
        EXPECT_EQ(CompareVersions(c.program, c.online), c.kind);
    }
    EXPECT_STREQ(UpdateMessage(UpdateKind::MajorUpgrade), "Major upgrade found");
    EXPECT_STREQ(UpdateMessage(UpdateKind::MinorUpgrade), "Minor upgrade found");
    EXPECT_STREQ(UpdateMessage(UpdateKind::UpToDate), "You are already using the latest version.");
}

TEST(VersionCheck, ReadVersionFileFillsTheDialog) {
    const std::string file = "<html><head>\r\n"
                             "<meta name=\"Version\" content=\"15.1\">\r\n"
                             "<meta name=\"whatsnew1\" content=\"Crosshair colours\">\n"
                             "<meta name=\"whatsnew3\" content=\"Wheel zoom\">\r"
                             "</head></html>\r\n";
    const auto outcome = ReadVersionFile(file, "15.0");
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->kind, UpdateKind::MinorUpgrade);
    EXPECT_EQ(outcome->message, "Minor upgrade found");
    EXPECT_EQ(outcome->onlineVersion, "15.1");
    EXPECT_EQ(outcome->currentVersion, "15.0");
    EXPECT_EQ(outcome->features,
              (std::array<std::string, 4>{"Crosshair colours", "", "Wheel zoom", ""}));
    EXPECT_TRUE(outcome->Upgrade());

    EXPECT_FALSE(ReadVersionFile("<html><body>Not Found</body></html>", "15.0"));
    EXPECT_FALSE(ReadVersionFile("<meta name=\"Version\" content=\"\">", "15.0"));
}

} // namespace
} // namespace lupenta
