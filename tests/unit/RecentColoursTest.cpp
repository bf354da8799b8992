#include "main/RecentColours.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lupenta {
namespace {

using namespace std::string_literals;
using Colours = std::vector<Colour>;

constexpr Colour kOrange = MakeColour(255, 128, 0);
constexpr Colour kTeal = MakeColour(0, 128, 128);

TEST(RecentColours, NewestFirstAndARecopiedColourMovesToTheFront) {
    RecentColours recent;
    recent.Add(kOrange);
    recent.Add(kTeal);
    recent.Add(kBlack);
    EXPECT_EQ(recent.Colours(), (Colours{kBlack, kTeal, kOrange}));
    recent.Add(kOrange);
    EXPECT_EQ(recent.Colours(), (Colours{kOrange, kBlack, kTeal}));
    recent.Add(kOrange);
    EXPECT_EQ(recent.Colours(), (Colours{kOrange, kBlack, kTeal}));
}

TEST(RecentColours, KeepsTheTenNewest) {
    RecentColours recent;
    for (int i = 0; i < 12; ++i)
        recent.Add(MakeColour(i, 0, 0));
    ASSERT_EQ(recent.Colours().size(), RecentColours::kCapacity);
    EXPECT_EQ(recent.Colours().front(), MakeColour(11, 0, 0));
    EXPECT_EQ(recent.Colours().back(), MakeColour(2, 0, 0));
    // A colour still in the list moves up without pushing another one out.
    recent.Add(MakeColour(2, 0, 0));
    EXPECT_EQ(recent.Colours().size(), RecentColours::kCapacity);
    EXPECT_EQ(recent.Colours().back(), MakeColour(3, 0, 0));
}

TEST(RecentColours, TextRoundTrip) {
    RecentColours recent;
    EXPECT_EQ(recent.Text(), "");
    for (int i = 0; i < 10; ++i)
        recent.Add(MakeColour(i * 25, 255 - i, i));
    recent.Add(kOrange);
    const std::string text = recent.Text();
    EXPECT_EQ(text.substr(0, 14), "FF8000,E1F609,");
    EXPECT_EQ(RecentColours::FromText(text).Colours(), recent.Colours());
}

TEST(RecentColours, HostileTextKeepsOnlyWellFormedEntries) {
    const struct {
        std::string text;
        Colours expected;
    } cases[] = {
        {"", {}},
        {",,,", {}},
        {"ff8000", {kOrange}},
        {" FF8000 ,\t008080", {kOrange, kTeal}},
        {"#FF8000,0x8080,FF800,FF80000,GG8000,FF 800,008080", {kTeal}},
        {"FF8000,008080,FF8000", {kOrange, kTeal}},
        {"-FF800,+08080,FF8000", {kOrange}},
        {"FF80\0"
         "00,008080"s,
         {kTeal}},
        {"\xEF\xBB\xBF"
         "FF8000,\xFF\xFE\xFD\xFC\xFB\xFA,008080",
         {kTeal}},
        {"FF8000;008080", {}},
        {"000000,000001,000002,000003,000004,000005,000006,000007,000008,000009,00000A",
         {0x000000, 0x010000, 0x020000, 0x030000, 0x040000, 0x050000, 0x060000, 0x070000, 0x080000,
          0x090000}},
        {"bad,000000,000000,000001,000002,000003,000004,000005,000006,000007,000008,000009",
         {0x000000, 0x010000, 0x020000, 0x030000, 0x040000, 0x050000, 0x060000, 0x070000, 0x080000,
          0x090000}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(RecentColours::FromText(c.text).Colours(), c.expected);
    }
}

} // namespace
} // namespace lupenta
